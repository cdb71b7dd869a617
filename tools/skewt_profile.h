// The sounding as the diagram draws it: per quantity, the levels that carry a
// usable value, in order of falling pressure.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace vivezeru5::skewt {

struct ProfilePoint {
    double pressure;  // hPa
    double value;
};

struct WindPoint {
    double pressure;   // hPa
    double direction;  // degrees, where the wind blows from
    double speed;      // m/s
};

class Profile {
public:
    // `levels`: `count` rows of six floats as the block holds them.
    Profile(const float* levels, std::size_t count);

    // The levels whose pressure and the quantity are usable: finite, not the
    // missing value, pressure positive and below every earlier level's.
    const std::vector<ProfilePoint>& temperatures() const { return temperature_; }
    const std::vector<ProfilePoint>& dewpoints() const { return dewpoint_; }
    const std::vector<WindPoint>& winds() const { return winds_; }

    // Temperature (°C) at `pressure`, linear in ln p between the two
    // neighbouring levels; nothing outside the sounding.
    std::optional<double> temperatureAt(double pressure) const;

private:
    std::vector<ProfilePoint> temperature_;
    std::vector<ProfilePoint> dewpoint_;
    std::vector<WindPoint> winds_;
};

// Whether a value from the block carries a number: finite and not -9999.
bool isUsable(float value);

}  // namespace vivezeru5::skewt
