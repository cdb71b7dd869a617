// The lifted parcel as the analysis lifts it, and the lines of a
// thermodynamic diagram drawn with the same formulas: the dry adiabats of the
// potential temperature with the exponent 0.288, the saturation mixing ratio
// of the parcel energy, and the moist adiabats of its equivalent potential
// temperature (exponent 0.286) found by the same twelve-try bisection.
#pragma once

namespace vivezeru5 {

// Equivalent potential temperature (K) of the parcel saturated at its LCL:
// TK·(1000/p)^0.286 / exp(−2.6518986·ws(TK, p)/TK), TK = lclTemperature +
// 273.16, rounded; the moist adiabat the parcel follows above its LCL.
float parcelThetaE(float lclTemperature, float lclPressure);

// Potential temperature (K) of air at `celsius` and `pressure` (hPa),
// exponent 0.288, kept in double.
double potentialTemperature288(double celsius, double pressure);

// Temperature (°C) at `pressure` on the dry adiabat of potential temperature
// `thetaKelvin` (exponent 0.288).
double dryAdiabatCelsius(double thetaKelvin, double pressure);

// Temperature (°C) on the moist adiabat `thetaE` at `pressure`, as the
// parcel energy finds it (uncapped), rounded as the analysis rounds it.
float moistAdiabatCelsius(float thetaE, float pressure);

// Temperature (°C) at which air at `pressure` holds `gramsPerKilogram` of
// vapour at saturation: the inverse of the saturation mixing ratio, to
// 0.001 K, for the mixing-ratio lines of a diagram.
double saturationCelsius(double gramsPerKilogram, double pressure);

// The surface parcel of a sounding.
struct LiftedParcel {
    double surfaceTheta;  // K, from the surface temperature and pressure, in double
    float lclPressure;    // hPa
    float thetaE;         // K
};

LiftedParcel liftSurfaceParcel(float surfacePressure, float surfaceCelsius, float lclPressure,
                               float lclCelsius);

// The parcel's temperature (°C) at `pressure`: on its dry adiabat at and
// below the LCL, on its moist adiabat above it.
double liftedParcelCelsius(const LiftedParcel& parcel, double pressure);

}  // namespace vivezeru5
