#include "straightforward/mean_wind.h"

#include <cmath>

#include "straightforward/numerics.h"

namespace vivezeru5::straightforward {

void computeMeanWind(SoundingStation& station) {
    if (station.levelCount <= 0) {
        station.meanWindDirection = 0;
        station.meanWindSpeed = 0;
        return;
    }
    double sumU = 0, sumV = 0, sumWeights = 0;
    for (int i = 0; i < station.levelCount; ++i) {
        const SoundingLevel& level = station.levels[i];
        const double direction = level.windDirection;
        const double speed = level.windSpeed;
        // Air density, kg/m³, from the pressure in Pa and R = 287 J/(kg K).
        const double kelvin = single(double{level.temperature} + kKelvinOffset);
        const double weight = single(double{level.pressure} * 100 / (kelvin * 287));
        const double u = single(-speed * std::sin(direction * 0.017453292519943295));
        double v = single(std::sqrt(single(speed * speed - u * u)));
        if (direction >= 90 && direction <= 270) {
            v = -v;
        }
        sumU = single(sumU + u * weight);
        sumV = single(sumV + v * weight);
        sumWeights = single(sumWeights + weight);
    }
    if (sumWeights <= 0) {
        station.meanWindDirection = 0;
        station.meanWindSpeed = 0;
        return;
    }
    const double u = single(sumU / sumWeights);
    const double v = single(sumV / sumWeights);
    station.meanWindU = static_cast<float>(u);
    station.meanWindV = static_cast<float>(v);
    const double speed = single(std::sqrt(single(u * u + v * v)));
    station.meanWindSpeed = static_cast<float>(speed);
    if (speed == 0) {
        station.meanWindDirection = 0;
        return;
    }
    double direction = std::atan2(-u, v) * 180 / 3.14159265;
    if (direction <= 0) {
        direction += 360;
    }
    station.meanWindDirection = static_cast<float>(direction);
}

}  // namespace vivezeru5::straightforward
