#include "analysis/lifting_condensation_level.h"

#include <cmath>

#include "analysis/double_maths.h"
#include "analysis/precision.h"

namespace vivezeru5 {
namespace {

// Goff–Gratch saturation vapour pressure over water (hPa) at `kelvin`.
float goffGratchVaporPressure(float kelvin) {
    const double t = kelvin;
    const float logT = roundToFloat(maths::log10(t));
    const float firstPower = roundToFloat(maths::pow(10.0, 11.344 - 0.0303998 * t));
    const float secondPower = roundToFloat(maths::pow(10.0, 3.49149 - 1302.8844 / t));
    return roundToFloat(maths::pow(10.0, 23.832241 - 5.02808 * logT - 0.00000013813 * firstPower +
                                           0.0081328 * secondPower - 2949.076 / t));
}

// Dew point (°C) that belongs to the vapour pressure whose common logarithm is x.
float dewPointOfLogVapor(double x) {
    const double bracket = maths::pow(10.0, 0.0915 * x) - 1.2035;
    return roundToFloat(maths::pow(10.0, 0.0498646455 * x + 2.4082965) - 280.23475 +
                        38.9114 * (bracket * bracket));
}

}  // namespace

float computeLclPressure(float temperature, float dewPoint, float pressure) {
    constexpr int kMaxUpdates = 10;
    const float dewPointK = roundToFloat(dewPoint + static_cast<double>(kKelvinOffset));
    const float vapor = goffGratchVaporPressure(dewPointK);
    const double w = roundToFloat(622.0 * vapor / (static_cast<double>(pressure) - vapor));
    const float temperatureK = roundToFloat(temperature + static_cast<double>(kKelvinOffset));
    const double theta =
        roundToFloat(maths::pow(1000.0 / pressure, 0.288) * static_cast<double>(temperatureK));

    float trial = pressure;
    for (int update = 0; update < kMaxUpdates; ++update) {
        const float logVapor = roundToFloat(maths::log10(w * trial / (w + 622)));
        const float dewPointAtTrial = dewPointOfLogVapor(logVapor);
        const float dryAdiabatic =
            roundToFloat(maths::pow(trial / 1000.0, 0.288) * theta - kKelvinOffset);
        const float step = roundToFloat(0.02 * (static_cast<double>(dewPointAtTrial) - dryAdiabatic));
        if (std::fabs(static_cast<double>(step)) < 0.01) {
            return trial;
        }
        trial = roundToFloat(trial * maths::pow(2.0, static_cast<double>(step)));
    }
    return trial;
}

float computeLclTemperature(float surfaceTemperature, float surfacePressure, float lclPressure) {
    const double surfaceTheta = maths::pow(1000.0 / surfacePressure, 0.288) *
                                (surfaceTemperature + static_cast<double>(kKelvinOffset));
    return roundToFloat(maths::pow(lclPressure / 1000.0, 0.288) * surfaceTheta - kKelvinOffset);
}

}  // namespace vivezeru5
