// Working records of the sounding readers: one level, one station, and the
// list of stations one reader call builds, with the station being read.
#pragma once

#include <cstdint>

namespace vivezeru5 {

// The missing value: initial value of absent data and terminator of type-5 blocks.
inline constexpr float kMissingValue = -9999.0f;

// Working limits shared by the readers: a declared station count above this
// is rejected, and a station claiming more levels than this is malformed.
inline constexpr std::int64_t kMaxDeclaredStations = 1000000;
inline constexpr std::int64_t kMaxStationLevels = 1000000;

// One level of a sounding, six floats in this order.
struct SoundingLevel {
    float pressure;       // hPa
    float height;         // geopotential decametres; 9999 marks a missing height
    float temperature;    // degrees Celsius
    float dewPoint;       // degrees Celsius
    float windDirection;  // degrees, the direction the wind blows from
    float windSpeed;      // m/s
};
inline constexpr int kValuesPerLevel = 6;

struct SoundingStation {
    std::int32_t stationId = 0;
    std::int32_t levelCount = 0;
    float longitude = 0;  // degrees
    float latitude = 0;   // degrees
    float elevation = 0;  // as stated in the file
    SoundingLevel* levels = nullptr;  // owned, levelCount entries, surface first
    SoundingStation* next = nullptr;

    // Derived quantities; 0 until an analysis step writes them.
    float kIndex = 0;             // degrees Celsius
    float totalTotals = 0;        // degrees Celsius
    float sweatIndex = 0;         // dimensionless
    float freezingHeight = 0;     // dam
    float freezingPressure = 0;   // hPa
    float meanWindDirection = 0;  // degrees, from
    float meanWindU = 0;          // m/s
    float meanWindV = 0;          // m/s
    float meanWindSpeed = 0;      // m/s
    float liftedIndex = 0;        // K, surface parcel at 500 hPa
    float showalterIndex = 0;     // K, 850 hPa parcel at 500 hPa
    float reservedIndex = 0;      // no step writes it
    float lclPressure = 0;        // hPa
    float lclTemperature = 0;     // degrees Celsius
    float lclHeight = 0;          // dam
    float lfcPressure = 0;        // hPa
    float lfcHeight = 0;          // dam
    float lfcTemperature = 0;     // degrees Celsius
    float elPressure = 0;         // hPa
    float cape = 0;               // J/kg
    float cin = 0;                // J/kg
    float bulkRichardson = 0;     // dimensionless
};

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
