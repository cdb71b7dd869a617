// The lifted parcel above its condensation level: its temperature on the
// moist adiabat of its equivalent potential temperature.
#pragma once

namespace vivezeru5::straightforward {

// Saturation mixing ratio (g/kg) at `kelvin` and `pressure` (hPa); 0 from
// 999 K up.
double saturationMixingRatio(double kelvin, double pressure);

struct MoistParcelTemperature {
    double kelvin = 0;
    bool tooWarm = false;  // a trial temperature passed 320 K (capped searches only)
};

// The temperature (K) at `pressure` on the moist adiabat of `thetaE`, by
// bisection: twelve tries from 253.16 K with steps of 60, 30, 15, ... K, a
// try accepted when its residual is below 0.01 K. With `capped`, a trial
// temperature above 320 K ends the search with tooWarm.
MoistParcelTemperature moistParcelTemperature(double pressure, double thetaE, bool capped);

}  // namespace vivezeru5::straightforward
