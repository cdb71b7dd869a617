// Working storage of the sounding readers: the list of stations one reader
// call builds, with the station being read.
#pragma once

#include <cstdint>

#include "records/sounding_station.h"

namespace vivezeru5 {

// Working limits shared by the readers: a declared station count above this
// is rejected, and a station claiming more levels than this is malformed.
inline constexpr std::int64_t kMaxDeclaredStations = 1000000;
inline constexpr std::int64_t kMaxStationLevels = 1000000;

// The stations of one reader call, in file order, and the station being read
// (the last one). The list owns its stations and releases them when it goes.
struct StationList {
    SoundingStation* head = nullptr;
    SoundingStation* current = nullptr;

    StationList() = default;
    ~StationList();
    StationList(const StationList&) = delete;
    StationList& operator=(const StationList&) = delete;
};

// Creates a station with every derived field 0, appends it to `list` behind
// its current station and makes it the current station. Returns null,
// leaving the list unchanged, when memory runs out.
SoundingStation* createStation(StationList& list);

// Gives `station` an array of `levelCount` levels, every value kMissingValue,
// so that values a file does not supply read as missing. A count of 0 or less
// leaves `levels` null. Returns false when the count cannot be allocated
// (negative, too large, or out of memory).
bool allocateLevels(SoundingStation& station, std::int64_t levelCount);

// Releases every station of the list and its levels; the list becomes empty.
void releaseStationList(StationList& list);

}  // namespace vivezeru5
