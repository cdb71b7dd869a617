#include "analysis/parcel_path.h"

#include "analysis/double_maths.h"
#include "analysis/moist_adiabat.h"
#include "analysis/precision.h"

namespace vivezeru5 {
namespace {

// The saturation vapour pressure of the parcel energy, 6.1078·exp(17.2693882·t / (t + 237.3)) hPa,
// and its mixing ratio 621.97·e / (p − e) g/kg.
constexpr double kVapourScale = 6.1078;
constexpr double kVapourSlope = 17.2693882;
constexpr double kVapourOffset = 237.3;
constexpr double kVapourRatio = 621.97;

constexpr double kMoistVapourFactor = -2.6518986;

}  // namespace

float parcelThetaE(float lclTemperature, float lclPressure) {
    const float kelvin = roundToFloat(lclTemperature + static_cast<double>(kKelvinOffset));
    const double ratio = saturationMixingRatio(kelvin, lclPressure);
    return roundToFloat(kelvin * maths::pow(1000.0 / lclPressure, 0.286) /
                        maths::exp(kMoistVapourFactor * ratio / kelvin));
}

double potentialTemperature288(double celsius, double pressure) {
    return (celsius + static_cast<double>(kKelvinOffset)) * maths::pow(1000.0 / pressure, 0.288);
}

double dryAdiabatCelsius(double thetaKelvin, double pressure) {
    return maths::pow(pressure / 1000.0, 0.288) * thetaKelvin - static_cast<double>(kKelvinOffset);
}

float moistAdiabatCelsius(float thetaE, float pressure) {
    return roundToFloat(static_cast<double>(*moistParcelTemperature(pressure, thetaE, false)) - kKelvinOffset);
}

double saturationCelsius(double gramsPerKilogram, double pressure) {
    // e = w·p / (621.97 + w), then the Magnus form solved for t.
    const double vapour = gramsPerKilogram * pressure / (kVapourRatio + gramsPerKilogram);
    const double logRatio = maths::log(vapour / kVapourScale);
    return kVapourOffset * logRatio / (kVapourSlope - logRatio);
}

LiftedParcel liftSurfaceParcel(float surfacePressure, float surfaceCelsius, float lclPressure,
                               float lclCelsius) {
    return LiftedParcel{potentialTemperature288(surfaceCelsius, surfacePressure), lclPressure,
                        parcelThetaE(lclCelsius, lclPressure)};
}

double liftedParcelCelsius(const LiftedParcel& parcel, double pressure) {
    if (pressure >= parcel.lclPressure) {
        return dryAdiabatCelsius(parcel.surfaceTheta, pressure);
    }
    return moistAdiabatCelsius(parcel.thetaE, static_cast<float>(pressure));
}

}  // namespace vivezeru5
