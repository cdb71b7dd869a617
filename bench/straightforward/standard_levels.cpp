#include "straightforward/standard_levels.h"

#include <cmath>

#include "straightforward/numerics.h"

namespace vivezeru5::straightforward {
namespace {

// Which value of a level at which standard pressure goes where.
struct Pick {
    float pressure;
    float SoundingLevel::*from;
    float StandardLevelValues::*to;
};

constexpr Pick kPicks[] = {
    {850, &SoundingLevel::temperature, &StandardLevelValues::t850},
    {850, &SoundingLevel::dewPoint, &StandardLevelValues::td850},
    {850, &SoundingLevel::windDirection, &StandardLevelValues::dir850},
    {850, &SoundingLevel::windSpeed, &StandardLevelValues::speed850},
    {700, &SoundingLevel::temperature, &StandardLevelValues::t700},
    {700, &SoundingLevel::dewPoint, &StandardLevelValues::td700},
    {500, &SoundingLevel::temperature, &StandardLevelValues::t500},
    {500, &SoundingLevel::windDirection, &StandardLevelValues::dir500},
    {500, &SoundingLevel::windSpeed, &StandardLevelValues::speed500},
};

// A level counts when its pressure is exactly the standard one; the later
// level wins when two carry the same standard pressure; level 0 never counts.
StandardLevelValues pickStandardLevels(const SoundingStation& station) {
    StandardLevelValues values;
    for (int i = 1; i < station.levelCount; ++i) {
        const SoundingLevel& level = station.levels[i];
        for (const Pick& pick : kPicks) {
            if (level.pressure == pick.pressure) {
                values.*pick.to = level.*pick.from;
            }
        }
    }
    return values;
}

// The 0 °C level between level i - 1 (above 0 °C) and level i (at or below):
// height linear in temperature, ln(p / 1000) linear in temperature.
void interpolateFreezingLevel(SoundingStation& station, int i) {
    const SoundingLevel& a = station.levels[i - 1];
    const SoundingLevel& b = station.levels[i];
    const double ta = a.temperature;
    const double tb = b.temperature;
    station.freezingHeight = static_cast<float>((double{a.height} * tb - double{b.height} * ta) / (tb - ta));
    const double la = single(std::log(double{a.pressure} / 1000.0));
    const double lb = single(std::log(double{b.pressure} / 1000.0));
    const double r = single((la * tb - lb * ta) / (tb - ta));
    station.freezingPressure = static_cast<float>(1000.0 * single(std::exp(r)));
}

// From level 1 up: a surface at or below 0 °C is itself the freezing level;
// otherwise the first level at or below 0 °C (a missing temperature counts)
// closes the layer that holds it.
void findFreezingLevel(SoundingStation& station) {
    const SoundingLevel& surface = station.levels[0];
    for (int i = 1; i < station.levelCount; ++i) {
        if (surface.temperature <= 0) {
            station.freezingPressure = surface.pressure;
            station.freezingHeight = surface.height;
            continue;
        }
        if (station.levels[i].temperature <= 0) {
            interpolateFreezingLevel(station, i);
            return;
        }
    }
}

}  // namespace

StandardLevelValues analyseStandardLevels(SoundingStation& station) {
    const StandardLevelValues v = pickStandardLevels(station);
    findFreezingLevel(station);
    if (station.levels[0].pressure > 900.0f) {
        const double t850 = v.t850, td850 = v.td850, t700 = v.t700, td700 = v.td700, t500 = v.t500;
        station.kIndex = static_cast<float>((td850 - t500 + t850) - (t700 - td700));
        station.totalTotals = static_cast<float>((td850 + t850) - 2 * t500);
        station.sweatIndex = computeSweat(v.td850, station.totalTotals, v.speed850, v.speed500, v.dir850, v.dir500);
    }
    return v;
}

float computeSweat(float td850, float totalTotals, float speed850, float speed500, float dir850, float dir500) {
    const double tt = totalTotals < 49 ? 49.0 : double{totalTotals};
    const double d = td850 < 0 ? 0.0 : double{td850};
    double s = single(std::sin((double{dir500} - double{dir850}) * 0.017));
    const double f850 = single(double{speed850} * 1.943);  // knots
    const double f500 = single(double{speed500} * 1.943);
    // The shear term counts only for a veering wind of at least 15 knots at
    // both levels, from the south-east to west at 850 and the south-west to
    // north-west at 500 hPa.
    if (dir500 < 210 || dir500 > 310 || dir850 < 130 || dir850 > 250 || std::fabs(single(f500 - f850)) < 0.0001 ||
        f500 < 15 || f850 < 15) {
        s = -0.2f;
    }
    return static_cast<float>(20 * (tt - 49) + 12 * d + 2 * f850 + f500 + 125 * (s + 0.2));
}

}  // namespace vivezeru5::straightforward
