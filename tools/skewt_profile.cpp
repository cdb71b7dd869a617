#include "skewt_profile.h"

#include <cmath>

namespace vivezeru5::skewt {
namespace {

constexpr float kMissing = -9999.0f;

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
    for (std::size_t i = 0; i < temperature_.size(); ++i) {
        const ProfilePoint& upper = temperature_[i];
        if (upper.pressure == pressure) {
            return upper.value;
        }
        if (upper.pressure < pressure) {
            if (i == 0) {
                return std::nullopt;
            }
            const ProfilePoint& lower = temperature_[i - 1];
            const double fraction = std::log(pressure / lower.pressure) / std::log(upper.pressure / lower.pressure);
            return lower.value + fraction * (upper.value - lower.value);
        }
    }
    return std::nullopt;
}

}  // namespace vivezeru5::skewt
