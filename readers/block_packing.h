// Turning a station list into the flat block of floats handed to the caller.
#pragma once

#include <cstdint>

#include "readers/sounding_records.h"

namespace vivezeru5 {

inline constexpr int kHeaderValues = 6;     // count, year, month, day, hour, stations
inline constexpr int kStationValues = 5;    // id, longitude, latitude, elevation, level count

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

// The block of a reader call, built as the file is read: each station is
// packed (each NaN made the canonical one) as soon as it is complete, so that
// the block is the only large allocation of the call. It grows by doubling.
class PackedStations {
public:
    PackedStations() = default;
    ~PackedStations();
    PackedStations(const PackedStations&) = delete;
    PackedStations& operator=(const PackedStations&) = delete;

    // Packs `station` behind the stations before it, with or without its
    // derived values; false when memory runs out.
    bool append(const SoundingStation& station, DerivedIndices derived);

    // Hands over the block of `blockSize` floats: the header, every station
    // appended, then the terminator kMissingValue; every float after it is
    // kMissingValue too. When header.valueCount is beyond 2^24 and rounds up
    // as a float, the block holds that many more floats. Returns null when
    // `blockSize` cannot hold what is written or the allocation fails. The
    // number of floats the block holds goes to `floats` when given.
    float* release(const BlockHeader& header, std::int64_t blockSize, std::int64_t* floats = nullptr);

private:
    bool reserve(std::int64_t floats);

    float* block_ = nullptr;
    std::int64_t written_ = kHeaderValues;  // floats written, the header's included
    std::int64_t capacity_ = 0;
};

}  // namespace vivezeru5
