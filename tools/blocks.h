// Views of the float blocks the readers return, following the layouts in
// vivezeru5/vivezeru5.h. The views point into the block; they never read past
// the floats the block is documented to hold.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "file_formats.h"

namespace vivezeru5::cli {

inline constexpr int kLevelValues = 6;
inline constexpr int kDerivedCount = 19;
inline constexpr int kSurfaceStride = 26;

struct ObservationTime {
    float year;
    float month;
    float day;
    float hour;
};

struct SoundingStationView {
    std::size_t position;  // the sounding's place in its file, from 0
    float id;
    float longitude;
    float latitude;
    float elevation;
    std::size_t levelCount;
    const float* levels;   // levelCount rows of pressure, height, T, Td, direction, speed
    const float* derived;  // 19 values, or null when the block carries none
};

struct SurfaceStationView {
    const float* values;  // values 1 to 26: id, longitude, latitude, elevation, ...
    std::size_t position;  // the report's place in its file, from 0
};

struct BlockView {
    std::size_t length = 0;       // floats the block holds
    ObservationTime time{};
    std::size_t stationCount = 0;  // as the block states it
    std::vector<SoundingStationView> soundings;
    std::vector<SurfaceStationView> surfaces;
    std::string problem;  // empty when the block is consistent with its layout
};

// Walks the block a reader of `format` returned.
BlockView viewBlock(const float* block, FileFormat format);

}  // namespace vivezeru5::cli
