#include "skewt_profile.h"
#include "vivezeru5/vivezeru5.h"

#include <algorithm>
#include <cmath>

namespace vivezeru5::skewt {
namespace {

constexpr float kMissing = VIVEZERU5_MISSING;

// Columns of a level in the block.
enum LevelColumn { kPressure, kHeight, kTemperature, kDewpoint, kDirection, kSpeed, kLevelValues };

}  // namespace

bool isUsable(float value) { return std::isfinite(value) && value != kMissing; }

Profile::Profile(const float* levels, std::size_t count) {
    // The pressures a series may use: each below all earlier usable ones, so a
    // level repeated or out of order in the file does not fold the lines back.
    double lowest = INFINITY;
    for (std::size_t i = 0; i < count; ++i) {
        const float* level = levels + i * kLevelValues;
        const float pressure = level[kPressure];
        if (!isUsable(pressure) || pressure <= 0 || pressure >= lowest) {
            continue;
        }
        lowest = pressure;
        if (isUsable(level[kTemperature])) {
            temperature_.push_back({pressure, level[kTemperature]});
        }
        if (isUsable(level[kDewpoint])) {
            dewpoint_.push_back({pressure, level[kDewpoint]});
        }
        const float direction = level[kDirection];
        const float speed = level[kSpeed];
        if (isUsable(direction) && isUsable(speed) && direction >= 0 && direction <= 360 && speed >= 0) {
            winds_.push_back({pressure, direction, speed});
        }
    }
}

std::optional<double> Profile::temperatureAt(double pressure) const {
    // The first level at or above `pressure`; pressures fall along the series.
    const auto upper = std::lower_bound(temperature_.begin(), temperature_.end(), pressure,
                                        [](const ProfilePoint& level, double p) { return level.pressure > p; });
    if (upper == temperature_.end()) {
        return std::nullopt;
    }
    if (upper->pressure == pressure) {
        return upper->value;
    }
    if (upper == temperature_.begin()) {
        return std::nullopt;
    }
    const ProfilePoint& lower = *(upper - 1);
    const double fraction = std::log(pressure / lower.pressure) / std::log(upper->pressure / lower.pressure);
    return lower.value + fraction * (upper->value - lower.value);
}

}  // namespace vivezeru5::skewt
