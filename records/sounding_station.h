// The records the readers fill and the analysis reads and completes: one
// level, one station with its derived values, and the missing value.
#pragma once

#include <array>
#include <cstdint>

#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {

// The missing value: initial value of absent data and terminator of type-5 blocks.
inline constexpr float kMissingValue = VIVEZERU5_MISSING;

// A height of 9999 marks a missing height in a level.
inline constexpr float kMissingHeight = 9999.0f;

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

// Number of derived values packed after an analysed station's levels.
inline constexpr int kDerivedValues = VIVEZERU5_DERIVED_COUNT;

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

// The 19 derived values of a station in slot order (enum
// vivezeru5_derived_slot), as the analysing readers pack them.
inline std::array<float, kDerivedValues> derivedValuesOf(const SoundingStation& s) {
    return {s.freezingHeight,    s.freezingPressure, s.kIndex,
            s.totalTotals,       s.sweatIndex,       s.showalterIndex,
            s.lclPressure,       s.lclTemperature,   s.lclHeight,
            s.meanWindDirection, s.meanWindSpeed,
            s.liftedIndex,  // the twelfth slot carries the surface lifted index
            s.lfcPressure,       s.lfcTemperature,   s.lfcHeight,
            s.elPressure,        s.cape,             s.cin,
            s.bulkRichardson};
}

}  // namespace vivezeru5
