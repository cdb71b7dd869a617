#include "analysis/mean_wind.h"

#include <array>
#include <cmath>

#include "analysis/double_maths.h"
#include "analysis/precision.h"
#include "records/sounding_station.h"

namespace vivezeru5 {
namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kPi = 3.14159265;

constexpr int kWholeDegrees = 361;  // 0 to 360

// sin(direction · π/180). Winds are mostly given in whole degrees, whose sines
// are computed once per process, each with the argument any other call makes.
double directionSine(float direction) {
    static const std::array<double, kWholeDegrees> wholeDegreeSines = [] {
        std::array<double, kWholeDegrees> sines{};
        for (int degrees = 0; degrees < kWholeDegrees; ++degrees) {
            sines[degrees] = maths::sin(static_cast<float>(degrees) * kDegreesToRadians);
        }
        return sines;
    }();
    if (direction >= 0 && direction < kWholeDegrees && !std::signbit(direction)) {
        const int whole = static_cast<int>(direction);
        if (static_cast<float>(whole) == direction) {
            return wholeDegreeSines[whole];
        }
    }
    return maths::sin(direction * kDegreesToRadians);
}

struct LevelWind {
    float weight;  // air density, kg/m³
    float u;       // m/s
    float v;       // m/s
};

LevelWind levelWind(const SoundingLevel& level) {
    const float kelvin = roundToFloat(level.temperature + static_cast<double>(kKelvinOffset));
    const double speed = level.windSpeed;
    LevelWind wind{};
    wind.weight = roundToFloat(level.pressure * 100.0 / (kelvin * 287.0));
    wind.u = roundToFloat(-speed * directionSine(level.windDirection));
    const float squared = roundToFloat(speed * speed - static_cast<double>(wind.u) * wind.u);
    double v = maths::sqrt(static_cast<double>(squared));
    if (level.windDirection >= 90 && level.windDirection <= 270) {
        v = -v;
    }
    wind.v = roundToFloat(v);
    return wind;
}

// Direction the wind with components (u, v) = (−s·sin d, s·cos d) blows from.
float directionFrom(float u, float v) {
    double degrees = maths::atan2(-static_cast<double>(u), static_cast<double>(v)) * 180 / kPi;
    if (degrees <= 0) {
        degrees += 360;
    }
    return roundToFloat(degrees);
}

}  // namespace

void computeMeanWind(SoundingStation& station) {
    if (station.levelCount <= 0) {
        station.meanWindDirection = 0;
        station.meanWindSpeed = 0;
        return;
    }
    float sumU = 0;
    float sumV = 0;
    float sumWeight = 0;
    for (int i = 0; i < station.levelCount; ++i) {
        const LevelWind wind = levelWind(station.levels[i]);
        sumU = roundToFloat(sumU + static_cast<double>(wind.u) * wind.weight);
        sumV = roundToFloat(sumV + static_cast<double>(wind.v) * wind.weight);
        sumWeight = roundToFloat(static_cast<double>(sumWeight) + wind.weight);
    }
    if (sumWeight <= 0) {
        station.meanWindDirection = 0;
        station.meanWindSpeed = 0;
        return;
    }
    const float u = roundToFloat(static_cast<double>(sumU) / sumWeight);
    const float v = roundToFloat(static_cast<double>(sumV) / sumWeight);
    station.meanWindU = u;
    station.meanWindV = v;
    const float speed = roundToFloat(
        maths::sqrt(static_cast<double>(roundToFloat(static_cast<double>(u) * u + static_cast<double>(v) * v))));
    station.meanWindSpeed = speed;
    station.meanWindDirection = speed == 0 ? 0.0f : directionFrom(u, v);
}

}  // namespace vivezeru5
