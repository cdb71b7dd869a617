#include "straightforward/block_packing.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace vivezeru5::straightforward {

float* allocateBlock(long long floats) {
    if (floats < 1 || static_cast<unsigned long long>(floats) > std::numeric_limits<std::size_t>::max() / sizeof(float)) {
        return nullptr;
    }
    auto* block = static_cast<float*>(std::malloc(static_cast<std::size_t>(floats) * sizeof(float)));
    if (block != nullptr) {
        for (long long i = 0; i < floats; ++i) {
            block[i] = kMissingValue;
        }
    }
    return block;
}

long long countAsStored(long long count) {
    const auto stored = static_cast<long long>(static_cast<float>(count));
    return stored > count ? stored : count;
}

float blockValue(float value) {
    return std::isnan(value) ? std::bit_cast<float>(std::uint32_t{0x7FC00000u}) : value;
}

std::array<float, kDerivedCount> derivedValues(const SoundingStation& s) {
    // Slot 12 carries the surface parcel's lifted index.
    return {s.freezingHeight, s.freezingPressure, s.kIndex,         s.totalTotals,    s.sweatIndex,
            s.showalterIndex, s.lclPressure,      s.lclTemperature, s.lclHeight,      s.meanWindDirection,
            s.meanWindSpeed,  s.liftedIndex,      s.lfcPressure,    s.lfcTemperature, s.lfcHeight,
            s.elPressure,     s.cape,             s.cin,            s.bulkRichardson};
}

long long packStations(float* block, long long at, const StationList& list, bool withDerived) {
    for (const SoundingStation* s = list.head; s != nullptr; s = s->next) {
        block[at++] = static_cast<float>(s->stationId);
        block[at++] = blockValue(s->longitude);
        block[at++] = blockValue(s->latitude);
        block[at++] = blockValue(s->elevation);
        block[at++] = static_cast<float>(s->levelCount);
        for (std::int32_t i = 0; i < s->levelCount; ++i) {
            const SoundingLevel& level = s->levels[i];
            for (const float value : {level.pressure, level.height, level.temperature, level.dewPoint,
                                      level.windDirection, level.windSpeed}) {
                block[at++] = blockValue(value);
            }
        }
        if (withDerived) {
            for (const float value : derivedValues(*s)) {
                block[at++] = blockValue(value);
            }
        }
    }
    return at;
}

}  // namespace vivezeru5::straightforward
