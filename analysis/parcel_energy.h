// Parcel energy of the surface parcel: LCL height, level of free convection,
// equilibrium level, CAPE, CIN and the bulk Richardson number.
#pragma once

#include <optional>

#include "readers/sounding_records.h"

namespace vivezeru5 {

// Saturation mixing ratio (g/kg) at `kelvin` and `pressure` (hPa), from
// es = 6.1078·exp(17.2693882·t / (t + 237.3)) hPa; 0 at 999 K and above.
float saturationMixingRatio(float kelvin, float pressure);

// Temperature (K) on the moist adiabat of equivalent potential temperature
// `thetaE` at `pressure` (hPa): a bisection from 253.16 K in at most twelve
// tries with steps 60, 30, 15, … K, accepting a try whose residual is below
// 0.01 K. When `capped`, a trial temperature above 320 K gives no value.
std::optional<float> moistParcelTemperature(float pressure, float thetaE, bool capped);

// Lifts the surface parcel of `station` — dry-adiabatically to the LCL
// (lclPressure/lclTemperature), then along its moist adiabat — and writes
// lclHeight, cin, lfcPressure/Temperature/Height, elPressure, cape and
// bulkRichardson (from meanWindU/V). Energies are J/kg with g = 9.8 and
// heights in decametres. Prints "New Method ... NegEngBLFC end" once an LFC is
// found and "New Method ... EL end" after the positive area, on stdout.
void computeParcelEnergy(SoundingStation& station);

}  // namespace vivezeru5
