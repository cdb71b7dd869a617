#include "skewt_thermodynamics.h"

#include <cmath>

namespace vivezeru5::skewt {
namespace {

float roundToFloat(double value) { return static_cast<float>(value); }

// Magnus form of the saturation vapour pressure (hPa), as the energy analysis uses it.
constexpr double kVapourScale = 6.1078;
constexpr double kVapourSlope = 17.2693882;
constexpr double kVapourOffset = 237.3;
constexpr double kVapourRatio = 621.97;  // g/kg

constexpr double kMoistVapourFactor = -2.6518986;

}  // namespace

double dryAdiabatCelsius(double thetaKelvin, double pressure) {
    return std::pow(pressure / 1000.0, 0.288) * thetaKelvin - kKelvinOffset;
}

double potentialTemperature(double celsius, double pressure) {
    return (celsius + kKelvinOffset) * std::pow(1000.0 / pressure, 0.288);
}

float saturationMixingRatio(float kelvin, float pressure) {
    if (kelvin >= 999) {
        return 0;
    }
    const double t = roundToFloat(kelvin - kKelvinOffset);
    const float vapour = roundToFloat(kVapourScale * std::exp(kVapourSlope * t / (t + kVapourOffset)));
    return roundToFloat(kVapourRatio * vapour / (static_cast<double>(pressure) - vapour));
}

double mixingRatioCelsius(double gramsPerKilogram, double pressure) {
    const double vapour = gramsPerKilogram * pressure / (kVapourRatio + gramsPerKilogram);
    const double logRatio = std::log(vapour / kVapourScale);
    return kVapourOffset * logRatio / (kVapourSlope - logRatio);
}

float equivalentPotentialTemperature(float celsius, float pressure) {
    const float kelvin = roundToFloat(celsius + kKelvinOffset);
    const double ratio = saturationMixingRatio(kelvin, pressure);
    return roundToFloat(kelvin * std::pow(1000.0 / pressure, 0.286) / std::exp(kMoistVapourFactor * ratio / kelvin));
}

float moistAdiabatCelsius(float thetaE, float pressure) {
    constexpr int kTries = 12;
    float temperature = 253.16f;
    float step = 120.0f;
    const double exner = std::pow(1000.0 / pressure, 0.286);
    for (int attempt = 0; attempt < kTries; ++attempt) {
        step = step / 2;
        const double t = temperature;
        const float residual = roundToFloat(
            thetaE * std::exp(kMoistVapourFactor * saturationMixingRatio(temperature, pressure) / t) - t * exner);
        if (std::fabs(static_cast<double>(residual)) < 0.01) {
            break;
        }
        temperature = roundToFloat(residual >= 0 ? t + step : t - step);
    }
    return roundToFloat(temperature - kKelvinOffset);
}

LiftedParcel::LiftedParcel(float surfacePressure, float surfaceCelsius, float lclPressure, float lclCelsius)
    : surfaceTheta_(potentialTemperature(surfaceCelsius, surfacePressure)),
      lclPressure_(lclPressure),
      thetaE_(equivalentPotentialTemperature(lclCelsius, lclPressure)) {}

double LiftedParcel::celsiusAt(double pressure) const {
    if (pressure >= lclPressure_) {
        return dryAdiabatCelsius(surfaceTheta_, pressure);
    }
    return moistAdiabatCelsius(thetaE_, static_cast<float>(pressure));
}

}  // namespace vivezeru5::skewt
