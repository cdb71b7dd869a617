// Parcel energy of the surface parcel: LCL height, level of free convection,
// equilibrium level, CAPE, CIN and the bulk Richardson number.
#pragma once

#include "records/progress_sink.h"
#include "records/sounding_station.h"

namespace vivezeru5 {

// How far the parcel analysis went, as its steps decided.
enum class ParcelEnergyEnd {
    NoLcl,               // the LCL pressure is 0: nothing is computed
    BrokenBelowLcl,      // a level below the LCL, or the one above it, has no usable pressure
                         // or is the last level: the analysis ended before the LFC search
    NoLfc,               // the parcel is nowhere warmer above the LCL (or the crossing is at
                         // level 0, or at no whole hPa)
    TooWarm,             // the 320 K limit ended the positive area
    NoEquilibriumLevel,  // the positive area ended without an EL
    EquilibriumLevel,    // the EL was found
};

struct ParcelEnergyOutcome {
    ParcelEnergyEnd end = ParcelEnergyEnd::NoLcl;
    bool lclHeightSet = false;        // the LCL height was interpolated
    bool cinBelowLfcSummed = false;   // the LFC search examined a level and stored CIN
    bool bulkRichardsonSet = false;   // CAPE above 1 and a mean wind: the ratio was formed
};

// Lifts the surface parcel of `station` — dry-adiabatically to the LCL
// (lclPressure/lclTemperature), then along its moist adiabat — and writes
// lclHeight, cin, lfcPressure/Temperature/Height, elPressure, cape and
// bulkRichardson (from meanWindU/V). Energies are J/kg with g = 9.8 and
// heights in decametres. Prints "New Method ... NegEngBLFC end" once an LFC is
// found and "New Method ... EL end" after the positive area, to `progress`. Returns how far the analysis went.
ParcelEnergyOutcome computeParcelEnergy(SoundingStation& station,
                                        const ProgressSink& progress = standardOutputSink());

}  // namespace vivezeru5
