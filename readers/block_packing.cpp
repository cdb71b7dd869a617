#include "readers/block_packing.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <limits>

#include "readers/canonical_nan.h"

namespace vivezeru5 {
namespace {

float* packDerivedIndices(const SoundingStation& station, float* out) {
    const std::array<float, kDerivedValues> derived = derivedValuesOf(station);
    return std::copy(derived.begin(), derived.end(), out);
}

// Floats a block can hold, and the first capacity of a growing one.
constexpr auto kMaxBlockFloats = static_cast<std::int64_t>(std::numeric_limits<std::size_t>::max() / sizeof(float));
constexpr std::int64_t kFirstCapacity = 4096;

// Floats `station` occupies in a block, with or without its derived values.
std::int64_t packedValues(const SoundingStation& station, DerivedIndices derived) {
    return kStationValues + std::int64_t{kValuesPerLevel} * std::max(station.levelCount, 0) +
           (derived == DerivedIndices::Packed ? kDerivedValues : 0);
}

float* packStation(const SoundingStation& station, DerivedIndices derived, float* out) {
    *out++ = static_cast<float>(station.stationId);
    *out++ = station.longitude;
    *out++ = station.latitude;
    *out++ = station.elevation;
    *out++ = static_cast<float>(station.levelCount);
    for (int i = 0; i < station.levelCount; ++i) {
        const SoundingLevel& level = station.levels[i];
        *out++ = level.pressure;
        *out++ = level.height;
        *out++ = level.temperature;
        *out++ = level.dewPoint;
        *out++ = level.windDirection;
        *out++ = level.windSpeed;
    }
    if (derived == DerivedIndices::Packed) {
        out = packDerivedIndices(station, out);
    }
    return out;
}

}  // namespace

PackedStations::~PackedStations() { std::free(block_); }

bool PackedStations::reserve(std::int64_t floats) {
    if (floats <= capacity_) {
        return true;
    }
    if (floats > kMaxBlockFloats) {
        return false;
    }
    const std::int64_t capacity = std::max(floats, std::min(kMaxBlockFloats, 2 * capacity_ + kFirstCapacity));
    void* grown = std::realloc(block_, static_cast<std::size_t>(capacity) * sizeof(float));
    if (grown == nullptr) {
        return false;
    }
    block_ = static_cast<float*>(grown);
    capacity_ = capacity;
    return true;
}

bool PackedStations::append(const SoundingStation& station, DerivedIndices derived) {
    if (!reserve(written_ + packedValues(station, derived))) {
        return false;
    }
    float* const start = block_ + written_;
    float* const end = packStation(station, derived, start);
    canonicaliseNans(start, end);
    written_ = end - block_;
    return true;
}

float* PackedStations::release(const BlockHeader& header, std::int64_t blockSize, std::int64_t* floats) {
    // Element 0 is a float, exact only up to 2^24: beyond that the count a
    // caller reads back from it may round up past the block. The block then
    // grows by the difference, filled with the missing value, so that every
    // float element 0 speaks of is there.
    const auto readBack = static_cast<std::int64_t>(static_cast<float>(header.valueCount));
    blockSize += std::max<std::int64_t>(0, readBack - header.valueCount);
    if (blockSize < written_ + 1 || blockSize > kMaxBlockFloats) {
        return nullptr;
    }
    void* exact = std::realloc(block_, static_cast<std::size_t>(blockSize) * sizeof(float));
    if (exact == nullptr) {
        return nullptr;
    }
    auto* block = static_cast<float*>(exact);
    block_ = nullptr;
    capacity_ = 0;
    block[0] = static_cast<float>(header.valueCount);
    block[1] = header.year;
    block[2] = header.month;
    block[3] = header.day;
    block[4] = header.hour;
    block[5] = static_cast<float>(header.stationCount);
    std::fill(block + written_, block + blockSize, kMissingValue);  // the terminator and anything after it
    if (floats != nullptr) {
        *floats = blockSize;
    }
    return block;
}

}  // namespace vivezeru5
