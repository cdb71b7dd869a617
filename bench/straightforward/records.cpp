#include "straightforward/records.h"

#include <new>

namespace vivezeru5::straightforward {

SoundingStation* appendStation(StationList& list, std::int32_t levelCount) {
    auto* station = new (std::nothrow) SoundingStation{};
    if (station == nullptr) {
        return nullptr;
    }
    station->levelCount = levelCount;
    if (levelCount > 0) {
        station->levels = new (std::nothrow) SoundingLevel[static_cast<std::size_t>(levelCount)];
        if (station->levels == nullptr) {
            delete station;
            return nullptr;
        }
    }
    (list.tail == nullptr ? list.head : list.tail->next) = station;
    list.tail = station;
    return station;
}

void releaseStations(StationList& list) {
    while (list.head != nullptr) {
        SoundingStation* next = list.head->next;
        delete[] list.head->levels;
        delete list.head;
        list.head = next;
    }
    list.tail = nullptr;
}

}  // namespace vivezeru5::straightforward
