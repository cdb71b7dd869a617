// Turning a station list into the flat block of floats handed to the caller.
#pragma once

#include <cstdint>

#include "readers/sounding_records.h"

namespace vivezeru5 {

inline constexpr int kHeaderValues = 6;     // count, year, month, day, hour, stations
inline constexpr int kStationValues = 5;    // id, longitude, latitude, elevation, level count
inline constexpr int kDerivedValues = 19;

enum class DerivedIndices { Packed, Omitted };

// The six leading floats of a sounding block.
struct BlockHeader {
    std::int64_t valueCount;
    float year;
    float month;
    float day;
    float hour;
    std::int64_t stationCount;
};

// Number of floats the stations of `list` occupy, with or without their derived values.
std::int64_t packedStationValues(const StationList& list, DerivedIndices derived);

// Allocates `blockSize` floats with malloc and fills them: the header, every
// station of the list in order (each NaN made the canonical one), then the
// terminator kMissingValue; every float after it is kMissingValue too. When header.valueCount is beyond 2^24 and
// rounds up as a float, the block holds that many more floats. Returns null
// when `blockSize` cannot hold what is written or the allocation fails.
float* packStationList(const StationList& list, const BlockHeader& header, DerivedIndices derived,
                       std::int64_t blockSize);

}  // namespace vivezeru5
