// The blocks of floats the readers hand to their caller: one malloc'ed array,
// every float the missing value until something is written there, every NaN
// the positive quiet NaN.
#pragma once

#include <array>

#include "straightforward/records.h"

namespace vivezeru5::straightforward {

inline constexpr int kDerivedCount = 19;

// `floats` floats from malloc, each the missing value; null when the count is
// below 1, its size in bytes cannot be represented, or memory runs out.
float* allocateBlock(long long floats);

// A count as element 0 stores it: floats are exact up to 2^24; above, the
// nearest float, which may promise more floats than were counted.
long long countAsStored(long long count);

// `value` as a block holds it: a NaN of any sign or payload becomes 0x7FC00000.
float blockValue(float value);

// The nineteen derived quantities of a station in block order.
std::array<float, kDerivedCount> derivedValues(const SoundingStation& station);

// Writes every station of the list from index `at` on: id, longitude,
// latitude, elevation, level count, the levels, and with `withDerived` the
// nineteen derived values. Returns the index after the last station.
long long packStations(float* block, long long at, const StationList& list, bool withDerived);

}  // namespace vivezeru5::straightforward
