// The flag of each outcome of a derived value, what it means in words, and
// whether the value then means nothing or is a real value with a caveat.
#pragma once

#include "records/derived_outcome.h"

namespace vivezeru5 {

// "missing_level", "nan", "not_reached", "no_lfc", "el_not_found",
// "parcel_disagrees"; empty for a computed value.
const char* outcomeFlag(DerivedOutcome outcome);

// One sentence saying why a value carries the flag; empty for a computed value.
const char* outcomeReason(DerivedOutcome outcome);

// True for a value that means nothing (computed from a missing level, not a
// number, not reached): it is blank in JSON and NaN for honest readers.
bool outcomeMeaningless(DerivedOutcome outcome);

}  // namespace vivezeru5
