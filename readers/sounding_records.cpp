#include "readers/sounding_records.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace vivezeru5 {

StationList::~StationList() { releaseStationList(*this); }

SoundingStation* createStation(StationList& list) {
    auto* station = new (std::nothrow) SoundingStation{};
    if (station == nullptr) {
        return nullptr;
    }
    if (list.head == nullptr) {
        list.head = station;
    } else {
        list.current->next = station;
    }
    list.current = station;
    return station;
}

bool allocateLevels(SoundingStation& station, std::int64_t levelCount) {
    station.levels = nullptr;
    if (levelCount < 0 || levelCount > kMaxStationLevels) {
        return false;
    }
    if (levelCount == 0) {
        return true;
    }
    auto* levels = new (std::nothrow) SoundingLevel[static_cast<std::size_t>(levelCount)];
    if (levels == nullptr) {
        return false;
    }
    const SoundingLevel missing{kMissingValue, kMissingValue, kMissingValue,
                                kMissingValue, kMissingValue, kMissingValue};
    std::fill(levels, levels + levelCount, missing);
    station.levels = levels;
    return true;
}

void releaseStationList(StationList& list) {
    SoundingStation* station = list.head;
    while (station != nullptr) {
        SoundingStation* next = station->next;
        delete[] station->levels;
        delete station;
        station = next;
    }
    list.head = nullptr;
    list.current = nullptr;
}

}  // namespace vivezeru5
