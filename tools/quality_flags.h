// Quality flags of a station's 19 derived values: the outcome the library's
// analysis reached for each (vivezeru5/vivezeru5_reading.h), as the tool
// shows it. The blocks keep every value as the method computes it; a flag
// says whether a value means nothing (computed from a missing level, not a
// number, not reached) or is a real value with a caveat.
#pragma once

#include <array>
#include <string_view>

#include "vivezeru5/vivezeru5_reading.h"

namespace vivezeru5::cli {

inline constexpr int kFlaggedValueCount = VIVEZERU5_DERIVED_COUNT;

// A vivezeru5_outcome; VIVEZERU5_COMPUTED carries no flag.
using QualityFlag = int;
inline constexpr QualityFlag kNoFlag = VIVEZERU5_COMPUTED;

using StationFlags = std::array<QualityFlag, kFlaggedValueCount>;

// The flag's name ("missing_level", ...); empty for no flag.
inline std::string_view flagName(QualityFlag flag) { return vivezeru5_outcome_flag(flag); }

// One sentence saying why a value carries the flag; empty for no flag.
inline std::string_view flagReason(QualityFlag flag) { return vivezeru5_outcome_reason(flag); }

// Whether a value with this flag means nothing: null in JSON.
inline bool flagMeansNothing(QualityFlag flag) { return vivezeru5_outcome_meaningless(flag) != 0; }

// Every flag, in the order in which the notes under a station explain them.
inline constexpr QualityFlag kAllFlags[] = {VIVEZERU5_MISSING_LEVEL, VIVEZERU5_NOT_A_NUMBER, VIVEZERU5_NO_LFC,
                                            VIVEZERU5_EL_NOT_FOUND,  VIVEZERU5_NOT_REACHED,  VIVEZERU5_PARCEL_DISAGREES};

}  // namespace vivezeru5::cli
