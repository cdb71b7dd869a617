#include "analysis/standard_levels.h"

#include <cmath>

#include "analysis/double_maths.h"
#include "analysis/precision.h"

namespace vivezeru5 {
namespace {

StandardLevelValues pickStandardLevels(const SoundingStation& station) {
    StandardLevelValues values;
    for (int i = 1; i < station.levelCount; ++i) {
        const SoundingLevel& level = station.levels[i];
        if (level.pressure == 850.0f) {
            values.T850 = level.temperature;
            values.Td850 = level.dewPoint;
            values.dir850 = level.windDirection;
            values.speed850 = level.windSpeed;
        }
        if (level.pressure == 700.0f) {
            values.T700 = level.temperature;
            values.Td700 = level.dewPoint;
        }
        if (level.pressure == 500.0f) {
            values.T500 = level.temperature;
            values.dir500 = level.windDirection;
            values.speed500 = level.windSpeed;
        }
    }
    return values;
}

// The 0 °C level: the surface itself when it is at or below freezing,
// otherwise interpolated between the last level above 0 °C and the first at
// or below it, height linear in temperature and ln(p/1000) linear in
// temperature. A missing temperature (-9999) counts as below freezing.
// Returns the level where the search ended (see StandardLevelValues).
int findFreezingLevel(SoundingStation& station) {
    const SoundingLevel& surface = station.levels[0];
    int found = -1;
    for (int i = 1; i < station.levelCount; ++i) {
        if (surface.temperature <= 0) {
            station.freezingPressure = surface.pressure;
            station.freezingHeight = surface.height;
            found = 0;
            continue;
        }
        const SoundingLevel& upper = station.levels[i];
        if (upper.temperature <= 0) {
            const SoundingLevel& lower = station.levels[i - 1];
            const double ta = lower.temperature;
            const double tb = upper.temperature;
            station.freezingHeight = roundToFloat(
                (static_cast<double>(lower.height) * tb - static_cast<double>(upper.height) * ta) /
                (tb - ta));
            const float lnLower = roundToFloat(maths::log(lower.pressure / 1000.0));
            const float lnUpper = roundToFloat(maths::log(upper.pressure / 1000.0));
            const float lnFreezing = roundToFloat((lnLower * tb - lnUpper * ta) / (tb - ta));
            station.freezingPressure =
                roundToFloat(1000.0 * roundToFloat(maths::exp(static_cast<double>(lnFreezing))));
            return i;
        }
    }
    return found;
}

}  // namespace

float computeSweat(float td850, float totalTotals, float speed850, float speed500,
                   float dir850, float dir500) {
    const double tt = totalTotals < 49 ? 49.0 : static_cast<double>(totalTotals);
    const double dewPointTerm = td850 < 0 ? 0.0 : static_cast<double>(td850);
    float shear = roundToFloat(maths::sin((static_cast<double>(dir500) - dir850) * 0.017));
    const float knots850 = roundToFloat(speed850 * 1.943);
    const float knots500 = roundToFloat(speed500 * 1.943);
    const bool dir500Outside = dir500 < 210 || dir500 > 310;
    const bool dir850Outside = dir850 < 130 || dir850 > 250;
    const bool equalSpeeds =
        std::fabs(roundToFloat(static_cast<double>(knots500) - knots850)) < 0.0001;
    if (dir500Outside || dir850Outside || equalSpeeds || knots500 < 15 || knots850 < 15) {
        shear = -0.2f;
    }
    return roundToFloat(20 * (tt - 49) + 12 * dewPointTerm + 2.0 * knots850 + knots500 +
                        125 * (shear + 0.2));
}

StandardLevelValues analyseStandardLevels(SoundingStation& station) {
    StandardLevelValues values = pickStandardLevels(station);
    values.freezingLevel = findFreezingLevel(station);
    if (station.levels[0].pressure > 900.0f) {
        station.kIndex = roundToFloat((static_cast<double>(values.Td850) - values.T500 + values.T850) -
                                      (static_cast<double>(values.T700) - values.Td700));
        station.totalTotals =
            roundToFloat((static_cast<double>(values.Td850) + values.T850) - 2.0 * values.T500);
        station.sweatIndex = computeSweat(values.Td850, station.totalTotals, values.speed850,
                                          values.speed500, values.dir850, values.dir500);
    }
    return values;
}

}  // namespace vivezeru5
