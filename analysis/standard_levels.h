// The 850, 700 and 500 hPa values of a sounding, its 0 °C level, and the K,
// total totals and SWEAT indices computed from them.
#pragma once

#include "records/sounding_station.h"

namespace vivezeru5 {

// Values picked at the standard levels; kMissingValue where the sounding has
// no level at that exact pressure.
struct StandardLevelValues {
    float T850 = kMissingValue;      // °C
    float Td850 = kMissingValue;     // °C
    float dir850 = kMissingValue;    // degrees
    float speed850 = kMissingValue;  // m/s
    float T700 = kMissingValue;      // °C
    float Td700 = kMissingValue;     // °C
    float T500 = kMissingValue;      // °C
    float dir500 = kMissingValue;    // degrees
    float speed500 = kMissingValue;  // m/s

    // Where the freezing-level search ended: -1 when it found no level at or
    // below 0 °C, 0 when the surface is the freezing level, otherwise the
    // first level at or below 0 °C, the upper end of the interpolation.
    int freezingLevel = -1;
};

// Picks the standard-level values (levels 1 on, exact pressure equality, the
// later of two equal levels winning), writes freezingHeight/freezingPressure
// when a 0 °C level is found, and, when the surface pressure exceeds 900 hPa,
// kIndex, totalTotals and sweatIndex. The station needs at least one level.
// Missing values are not tested: -9999 enters the index formulas as a number.
StandardLevelValues analyseStandardLevels(SoundingStation& station);

// SWEAT index from the 850 hPa dew point (°C), the total totals index, the
// 850 and 500 hPa wind speeds (m/s) and directions (degrees):
//   20·(TT − 49) + 12·Td850 + 2·f850 + f500 + 125·(sin(dir500 − dir850) + 0.2)
// with TT floored at 49, a negative dew point counted as 0, speeds in knots
// (×1.943) and degrees to radians by ×0.017. The shear term is dropped (its
// sine set to −0.2) unless dir500 lies in 210–310, dir850 in 130–250, both
// speeds reach 15 kn and they differ.
float computeSweat(float td850, float totalTotals, float speed850, float speed500,
                   float dir850, float dir500);

}  // namespace vivezeru5
