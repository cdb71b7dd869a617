// The thermodynamics of the skew-T diagram: the dry adiabats, moist adiabats
// and mixing-ratio lines of the background, and the surface parcel's path as
// the library's analysis lifts it. The formulas, constants and roundings are
// those of the analysis, so the drawn parcel is the parcel whose LFC, EL, CAPE
// and CIN the block reports; they are recomputed here because the tool sees
// only the library's public interface.
#pragma once

namespace vivezeru5::skewt {

// Celsius to kelvin: 273.16 held as a 32-bit float, as the analysis adds it.
inline constexpr double kKelvinOffset = static_cast<double>(273.16f);

// Temperature (°C) at `pressure` (hPa) on the dry adiabat of potential
// temperature `thetaKelvin`, with the analysis's exponent 0.288.
double dryAdiabatCelsius(double thetaKelvin, double pressure);

// Potential temperature (K) of air at `celsius` and `pressure`, exponent 0.288.
double potentialTemperature(double celsius, double pressure);

// Saturation mixing ratio (g/kg) over water at `kelvin` and `pressure` (hPa);
// 0 at 999 K and above.
float saturationMixingRatio(float kelvin, float pressure);

// Temperature (°C) at which air at `pressure` (hPa) is saturated with
// `gramsPerKilogram` of vapour: the inverse of saturationMixingRatio.
double mixingRatioCelsius(double gramsPerKilogram, double pressure);

// Equivalent potential temperature (K) of a parcel saturated at `celsius` and
// `pressure`, exponent 0.286: the parcel's moist adiabat.
float equivalentPotentialTemperature(float celsius, float pressure);

// Temperature (°C) on the moist adiabat `thetaE` at `pressure`: twelve
// bisection tries from 253.16 K with steps of 60, 30, 15, … K, accepting a try
// whose residual is below 0.01 K.
float moistAdiabatCelsius(float thetaE, float pressure);

// The surface parcel, from the surface level and the LCL the block reports.
class LiftedParcel {
public:
    LiftedParcel(float surfacePressure, float surfaceCelsius, float lclPressure, float lclCelsius);

    // The parcel's temperature (°C) at `pressure`: on its dry adiabat at and
    // below the LCL, on its moist adiabat above.
    double celsiusAt(double pressure) const;

    float lclPressure() const { return lclPressure_; }

private:
    double surfaceTheta_;  // K, kept in double as the analysis keeps it
    float lclPressure_;
    float thetaE_;
};

}  // namespace vivezeru5::skewt
