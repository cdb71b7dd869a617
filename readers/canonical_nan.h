// Every NaN a block holds is the one positive quiet NaN, 0x7FC00000, whatever
// sign or payload the file, the arithmetic or the C runtime gave it, so that
// one file gives the same bits on every platform.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>

namespace vivezeru5 {

inline constexpr std::uint32_t kCanonicalNanBits = 0x7FC00000u;

inline float canonicalNan(float value) {
    return value != value ? std::bit_cast<float>(kCanonicalNanBits) : value;
}

// Makes every NaN of the floats [begin, end) the canonical one.
inline void canonicaliseNans(float* begin, float* end) { std::transform(begin, end, begin, canonicalNan); }

}  // namespace vivezeru5
