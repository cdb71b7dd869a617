// The records one reading call builds: the levels of a sounding, the working
// record of a station with the quantities the analysis derives for it, and the
// list of stations in file order.
#pragma once

#include <cstdint>

namespace vivezeru5::straightforward {

// Absent data, unwritten floats of a block and the end mark of a sounding block.
inline constexpr float kMissingValue = -9999.0f;

// One level, six floats in file order. A value the file does not supply stays
// the missing value.
struct SoundingLevel {
    float pressure = kMissingValue;     // hPa
    float height = kMissingValue;       // geopotential decametres; 9999 marks a missing height
    float temperature = kMissingValue;  // °C
    float dewPoint = kMissingValue;     // °C
    float windDirection = kMissingValue;  // degrees, the direction the wind blows from
    float windSpeed = kMissingValue;    // m/s
};

// One station while its file is read. Every derived quantity starts at 0 and
// keeps 0 where the analysis does not reach it.
struct SoundingStation {
    std::int32_t stationId = 0;
    std::int32_t levelCount = 0;
    float longitude = 0;
    float latitude = 0;
    float elevation = 0;
    SoundingLevel* levels = nullptr;  // levelCount levels, the surface first
    SoundingStation* next = nullptr;

    float kIndex = 0;
    float totalTotals = 0;
    float sweatIndex = 0;
    float freezingHeight = 0;    // dam
    float freezingPressure = 0;  // hPa
    float meanWindDirection = 0;
    float meanWindU = 0;
    float meanWindV = 0;
    float meanWindSpeed = 0;
    float liftedIndex = 0;
    float showalterIndex = 0;
    float lclPressure = 0;
    float lclTemperature = 0;
    float lclHeight = 0;
    float lfcPressure = 0;
    float lfcHeight = 0;
    float lfcTemperature = 0;
    float elPressure = 0;
    float cape = 0;
    float cin = 0;
    float bulkRichardson = 0;
};

// The stations of one call, in file order.
struct StationList {
    SoundingStation* head = nullptr;
    SoundingStation* tail = nullptr;
};

// A new station with `levelCount` levels (every value missing), appended to
// the list; null when memory runs out (the list is left as it was).
SoundingStation* appendStation(StationList& list, std::int32_t levelCount);

// Releases every station and its levels; the list is empty afterwards.
void releaseStations(StationList& list);

}  // namespace vivezeru5::straightforward
