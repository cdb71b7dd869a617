// The values of the 850, 700 and 500 hPa levels, the 0 °C level, and the K
// index, total totals and SWEAT index computed from them.
#pragma once

#include "straightforward/records.h"

namespace vivezeru5::straightforward {

// Picked from levels 1 on whose pressure is exactly 850, 700 or 500 hPa;
// the missing value where the sounding has no such level.
struct StandardLevelValues {
    float t850 = kMissingValue, td850 = kMissingValue, dir850 = kMissingValue, speed850 = kMissingValue;
    float t700 = kMissingValue, td700 = kMissingValue;
    float t500 = kMissingValue, dir500 = kMissingValue, speed500 = kMissingValue;
};

// Writes the freezing level (when one is found) and, for a surface above
// 900 hPa, the K index, total totals and SWEAT index; returns the
// standard-level values. The station has at least one level.
StandardLevelValues analyseStandardLevels(SoundingStation& station);

// The severe weather threat index from the 850 hPa dew point, the total
// totals as stored, the 850 and 500 hPa wind speeds (m/s) and directions.
float computeSweat(float td850, float totalTotals, float speed850, float speed500, float dir850, float dir500);

}  // namespace vivezeru5::straightforward
