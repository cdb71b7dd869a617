#include "blocks.h"
#include "vivezeru5/vivezeru5.h"

#include <cmath>

namespace vivezeru5::cli {
namespace {

// Largest count the tool accepts from a block: the readers refuse more than a
// million stations, and a million levels a station.
constexpr double kCountLimit = 4.0e9;

bool isCount(float value) {
    return std::isfinite(value) && value >= 0 && value <= kCountLimit && std::floor(value) == value;
}

// Floats held by a sounding block, from its element 0.
std::size_t soundingLength(const float* block, FileFormat format) {
    const auto counted = static_cast<std::size_t>(block[0]);
    // readVelmor5Only counts the whole block; the analysing readers count the
    // floats before the terminator.
    return format == FileFormat::Type5Plain ? counted : counted + 1;
}

void viewSoundings(const float* block, FileFormat format, BlockView& view) {
    // The smallest block, of no station: the header of six and the terminator.
    const float smallest = format == FileFormat::Type5Plain ? 7 : 6;
    if (!isCount(block[0]) || block[0] < smallest) {
        view.length = 1;
        view.problem = "element 0 is not a valid value count";
        return;
    }
    view.time = {block[1], block[2], block[3], block[4]};
    view.length = soundingLength(block, format);
    if (!isCount(block[5])) {
        view.problem = "element 5 is not a valid station count";
        return;
    }
    view.stationCount = static_cast<std::size_t>(block[5]);
    const bool analysed = traitsOf(format).analysed;
    std::size_t position = 6;
    for (std::size_t k = 0; k < view.stationCount; ++k) {
        if (position + 5 > view.length || !isCount(block[position + 4])) {
            view.problem = "station " + std::to_string(k + 1) + " does not fit the block";
            return;
        }
        SoundingStationView station{};
        station.position = k;
        station.id = block[position];
        station.longitude = block[position + 1];
        station.latitude = block[position + 2];
        station.elevation = block[position + 3];
        station.levelCount = static_cast<std::size_t>(block[position + 4]);
        position += 5;
        const std::size_t values = station.levelCount * kLevelValues + (analysed ? kDerivedCount : 0);
        if (values > view.length - position) {
            view.problem = "station " + std::to_string(k + 1) + " does not fit the block";
            return;
        }
        station.levels = block + position;
        position += station.levelCount * kLevelValues;
        if (analysed) {
            station.derived = block + position;
            position += kDerivedCount;
        }
        view.soundings.push_back(station);
    }
    if (position >= view.length || block[position] != VIVEZERU5_MISSING) {
        view.problem = "no terminator after the last station";
    }
}

void viewSurfaces(const float* block, BlockView& view) {
    view.time = {block[0], block[1], block[2], block[3]};
    if (!isCount(block[4])) {
        view.length = 5;
        view.problem = "element 4 is not a valid station count";
        return;
    }
    view.stationCount = static_cast<std::size_t>(block[4]);
    view.length = 5 + kSurfaceStride * view.stationCount;
    for (std::size_t k = 0; k < view.stationCount; ++k) {
        view.surfaces.push_back({block + 5 + kSurfaceStride * k, k});
    }
}

}  // namespace

BlockView viewBlock(const float* block, FileFormat format) {
    BlockView view;
    if (traitsOf(format).isSounding) {
        viewSoundings(block, format, view);
    } else {
        viewSurfaces(block, view);
    }
    return view;
}

}  // namespace vivezeru5::cli
