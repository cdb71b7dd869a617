// The lifted parcel's moist adiabat: its saturation mixing ratio and the
// search for its temperature at a pressure.
#pragma once

#include <optional>

namespace vivezeru5 {

// Saturation mixing ratio (g/kg) at `kelvin` and `pressure` (hPa), from
// es = 6.1078·exp(17.2693882·t / (t + 237.3)) hPa; 0 at 999 K and above.
float saturationMixingRatio(float kelvin, float pressure);

// Temperature (K) on the moist adiabat of equivalent potential temperature
// `thetaE` at `pressure` (hPa): a bisection from 253.16 K in at most twelve
// tries with steps 60, 30, 15, … K, accepting a try whose residual is below
// 0.01 K. When `capped`, a trial temperature above 320 K gives no value.
// The tries are those of the bisection, taken along the path towards a first
// guess of the result so that they need not wait for one another; each try's
// verdict comes from a cheap exponential whenever its error bound proves the
// verdict, and from the platform's exp otherwise. The result is the same as
// moistParcelTemperatureExactly's for every input.
std::optional<float> moistParcelTemperature(float pressure, float thetaE, bool capped);

// The reach of the search's trial temperatures (K): 253.16 ± 120, which no
// trial reaches.
inline constexpr double kColdestMoistTrialBound = 133.16;
inline constexpr double kWarmestMoistTrialBound = 373.16;

// The method as written, the reference for moistParcelTemperature: each try
// after the verdict of the one before, evaluated with the platform's exp.
std::optional<float> moistParcelTemperatureExactly(float pressure, float thetaE, bool capped);

}  // namespace vivezeru5
