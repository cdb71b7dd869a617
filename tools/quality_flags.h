// Quality flags of a station's 19 derived values.
//
// The readers return every derived value as the method computes it, also when
// the value carries no meaning: an index built from a standard level the
// sounding does not have, a 0 left where the analysis ended early, a CIN summed
// over the whole sounding because no level of free convection exists. The flag
// of a value says which of these applies, from the station's levels and its
// other derived values alone; the block itself is never changed.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace vivezeru5::cli {

inline constexpr int kFlaggedValueCount = 19;

// At most one flag per value: the first that applies, in this order.
enum class QualityFlag {
    None,
    MissingLevel,  // the formula uses a level value the sounding does not have
    NotANumber,    // the value is NaN
    NoLfc,         // CIN summed over every level above the LCL: no LFC was found
    ElNotFound,    // energy accumulated but no equilibrium level was found
    NotReached,    // 0 because the analysis ended before this value
};

using StationFlags = std::array<QualityFlag, kFlaggedValueCount>;

// "missing_level", "nan", "no_lfc", "el_not_found", "not_reached"; empty for None.
std::string_view flagName(QualityFlag flag);

// One sentence saying why a value carries the flag; empty for None.
std::string_view flagReason(QualityFlag flag);

// Every flag a value can carry, in the order in which they are tested.
inline constexpr QualityFlag kAllFlags[] = {QualityFlag::MissingLevel, QualityFlag::NotANumber, QualityFlag::NoLfc,
                                            QualityFlag::ElNotFound, QualityFlag::NotReached};

// Flags of slots 1 to 19 (index 0 to 18) of one analysed station: `levels`
// holds `levelCount` rows of pressure, height, temperature, dew point, wind
// direction and wind speed, the first row being the surface; `derived` the 19
// values the reader returned for it.
StationFlags flagStation(const float* levels, std::size_t levelCount, const float* derived);

}  // namespace vivezeru5::cli
