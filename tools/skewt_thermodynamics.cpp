#include "skewt_thermodynamics.h"

#include "vivezeru5/vivezeru5_reading.h"

namespace vivezeru5::skewt {

double dryAdiabatCelsius(double thetaKelvin, double pressure) {
    return vivezeru5_dry_adiabat_celsius(thetaKelvin, pressure);
}

double potentialTemperature(double celsius, double pressure) {
    return vivezeru5_potential_temperature(celsius, pressure);
}

double mixingRatioCelsius(double gramsPerKilogram, double pressure) {
    return vivezeru5_saturation_celsius(gramsPerKilogram, pressure);
}

float equivalentPotentialTemperature(float celsius, float pressure) {
    return static_cast<float>(vivezeru5_saturated_theta_e(celsius, pressure));
}

float moistAdiabatCelsius(float thetaE, float pressure) {
    return static_cast<float>(vivezeru5_moist_adiabat_celsius(thetaE, pressure));
}

double LiftedParcel::celsiusAt(double pressure) const {
    return vivezeru5_lifted_parcel_celsius(surfacePressure_, surfaceCelsius_, lclPressure_, lclCelsius_, pressure);
}

}  // namespace vivezeru5::skewt
