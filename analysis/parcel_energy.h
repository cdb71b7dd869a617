// Parcel energy of the surface parcel: LCL height, level of free convection,
// equilibrium level, CAPE, CIN and the bulk Richardson number.
#pragma once

#include "readers/sounding_records.h"

namespace vivezeru5 {

// Lifts the surface parcel of `station` — dry-adiabatically to the LCL
// (lclPressure/lclTemperature), then along its moist adiabat — and writes
// lclHeight, cin, lfcPressure/Temperature/Height, elPressure, cape and
// bulkRichardson (from meanWindU/V). Energies are J/kg with g = 9.8 and
// heights in decametres. Prints "New Method ... NegEngBLFC end" once an LFC is
// found and "New Method ... EL end" after the positive area, on stdout.
void computeParcelEnergy(SoundingStation& station);

}  // namespace vivezeru5
