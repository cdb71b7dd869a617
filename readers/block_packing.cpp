#include "readers/block_packing.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "readers/canonical_nan.h"

namespace vivezeru5 {
namespace {

float* packDerivedIndices(const SoundingStation& station, float* out) {
    const float derived[kDerivedValues] = {
        station.freezingHeight,    station.freezingPressure, station.kIndex,
        station.totalTotals,       station.sweatIndex,       station.showalterIndex,
        station.lclPressure,       station.lclTemperature,   station.lclHeight,
        station.meanWindDirection, station.meanWindSpeed,
        station.liftedIndex,  // the twelfth slot carries the surface lifted index
        station.lfcPressure,       station.lfcTemperature,   station.lfcHeight,
        station.elPressure,        station.cape,             station.cin,
        station.bulkRichardson,
    };
    return std::copy(std::begin(derived), std::end(derived), out);
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

std::int64_t packedStationValues(const StationList& list, DerivedIndices derived) {
    std::int64_t total = 0;
    for (const SoundingStation* station = list.head; station != nullptr; station = station->next) {
        total += kStationValues + std::int64_t{kValuesPerLevel} * std::max(station->levelCount, 0);
        if (derived == DerivedIndices::Packed) {
            total += kDerivedValues;
        }
    }
    return total;
}

float* packStationList(const StationList& list, const BlockHeader& header, DerivedIndices derived,
                       std::int64_t blockSize) {
    const std::int64_t written = kHeaderValues + packedStationValues(list, derived) + 1;
    const auto maxFloats =
        static_cast<std::int64_t>(std::numeric_limits<std::size_t>::max() / sizeof(float));
    // Element 0 is a float, exact only up to 2^24: beyond that the count a
    // caller reads back from it may round up past the block. The block then
    // grows by the difference, filled with the missing value, so that every
    // float element 0 speaks of is there.
    const auto readBack = static_cast<std::int64_t>(static_cast<float>(header.valueCount));
    blockSize += std::max<std::int64_t>(0, readBack - header.valueCount);
    if (blockSize < written || blockSize > maxFloats) {
        return nullptr;
    }
    auto* block = static_cast<float*>(std::malloc(static_cast<std::size_t>(blockSize) * sizeof(float)));
    if (block == nullptr) {
        return nullptr;
    }
    block[0] = static_cast<float>(header.valueCount);
    block[1] = header.year;
    block[2] = header.month;
    block[3] = header.day;
    block[4] = header.hour;
    block[5] = static_cast<float>(header.stationCount);
    float* out = block + kHeaderValues;
    for (const SoundingStation* station = list.head; station != nullptr; station = station->next) {
        out = packStation(*station, derived, out);
    }
    canonicaliseNans(block, out);
    std::fill(out, block + blockSize, kMissingValue);  // the terminator and anything after it
    return block;
}

}  // namespace vivezeru5
