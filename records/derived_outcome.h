// What the analysis reached for each derived value of a station.
#pragma once

#include <array>

#include "records/sounding_station.h"
#include "vivezeru5/vivezeru5_reading.h"

namespace vivezeru5 {

// The first that applies, in this order of precedence (numbered as the
// companion library's vivezeru5_outcome).
enum class DerivedOutcome : int {
    Computed = VIVEZERU5_COMPUTED,
    MissingLevel = VIVEZERU5_MISSING_LEVEL,        // computed from a standard-level or surface value the sounding lacks
    NotANumber = VIVEZERU5_NOT_A_NUMBER,           // NaN
    NotReached = VIVEZERU5_NOT_REACHED,            // 0: the analysis ended before it, or it does not apply
    WholeSoundingCin = VIVEZERU5_NO_LFC,           // CIN summed over every level above the LCL: no LFC
    NoEquilibriumLevel = VIVEZERU5_EL_NOT_FOUND,   // CAPE accumulated without an EL, and what is formed from it
    ParcelDisagrees = VIVEZERU5_PARCEL_DISAGREES,  // a one-step parcel index of the other sign than its parcel's path
};

// The outcomes of a station's 19 derived values, in slot order.
using StationOutcomes = std::array<DerivedOutcome, kDerivedValues>;

}  // namespace vivezeru5
