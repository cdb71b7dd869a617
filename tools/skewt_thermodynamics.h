// The thermodynamics of the skew-T diagram, asked of the companion library:
// the dry adiabats, moist adiabats and mixing-ratio lines of the background,
// and the surface parcel's path exactly as the library's analysis lifts it,
// so the drawn parcel is the parcel whose LFC, EL, CAPE and CIN the block
// reports.
#pragma once

namespace vivezeru5::skewt {

// Temperature (°C) at `pressure` (hPa) on the dry adiabat of potential
// temperature `thetaKelvin`, with the analysis's exponent 0.288.
double dryAdiabatCelsius(double thetaKelvin, double pressure);

// Potential temperature (K) of air at `celsius` and `pressure`, exponent 0.288.
double potentialTemperature(double celsius, double pressure);

// Temperature (°C) at which air at `pressure` (hPa) is saturated with
// `gramsPerKilogram` of vapour.
double mixingRatioCelsius(double gramsPerKilogram, double pressure);

// Equivalent potential temperature (K) of air saturated at `celsius` and
// `pressure`: the moist adiabat through that point.
float equivalentPotentialTemperature(float celsius, float pressure);

// Temperature (°C) on the moist adiabat `thetaE` at `pressure`.
float moistAdiabatCelsius(float thetaE, float pressure);

// The surface parcel, from the surface level and the LCL the block reports.
class LiftedParcel {
public:
    LiftedParcel(float surfacePressure, float surfaceCelsius, float lclPressure, float lclCelsius)
        : surfacePressure_(surfacePressure),
          surfaceCelsius_(surfaceCelsius),
          lclPressure_(lclPressure),
          lclCelsius_(lclCelsius) {}

    // The parcel's temperature (°C) at `pressure`: on its dry adiabat at and
    // below the LCL, on its moist adiabat above.
    double celsiusAt(double pressure) const;

    float lclPressure() const { return lclPressure_; }

private:
    float surfacePressure_;
    float surfaceCelsius_;
    float lclPressure_;
    float lclCelsius_;
};

}  // namespace vivezeru5::skewt
