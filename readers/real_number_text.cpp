#include "readers/real_number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace vivezeru5 {
namespace {

// The exponent handed to the conversion; the kept digits move the number's
// order of magnitude by far less than the distance from here to the float range.
constexpr std::int64_t kExponentClamp = 100000;

// The common case of a short decimal such as "-12.5" or "850": a mantissa of
// at most 2^24 and a power of ten up to 10^10 are both exact in single
// precision, so one single-precision multiply or divide rounds exactly once.
// Answers false for anything else.
bool convertShortDecimal(const char* digits, int count, std::int64_t exponent, float& magnitude) {
    static constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                             1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 24;
    if (count > 8 || exponent < -10 || exponent > 10) {
        return false;
    }
    std::uint64_t mantissa = 0;
    for (int i = 0; i < count; ++i) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(digits[i] - '0');
    }
    if (mantissa > kExactMantissa) {
        return false;
    }
    magnitude = exponent >= 0 ? static_cast<float>(mantissa) * kPowersOfTen[exponent]
                              : static_cast<float>(mantissa) / kPowersOfTen[-exponent];
    return true;
}

}  // namespace

float RealNumberText::toFloat() const {
    const float value = kept_ == 0 ? 0.0f : magnitude();
    return negative_ ? -value : value;
}

float RealNumberText::magnitude() const {
    const std::int64_t written = exponentNegative_ ? -exponent_ : exponent_;
    float value = 0.0f;
    if (!hexadecimal_ && !droppedNonZero_ && convertShortDecimal(digits_, kept_, written + scale_, value)) {
        return value;
    }
    return convertKeptDigits();
}

float RealNumberText::convertKeptDigits() const {
    // The kept digits, a 1 standing for the dropped non-zero ones, and the
    // exponent of the last digit, in the number's base (binary for hexadecimal).
    char text[kKeptDigits + 32];
    char* end = std::copy(digits_, digits_ + kept_, text);
    std::int64_t scale = scale_;
    if (droppedNonZero_) {
        *end++ = '1';
        --scale;
    }
    const int digitBits = hexadecimal_ ? 4 : 1;
    const std::int64_t written = exponentNegative_ ? -exponent_ : exponent_;
    const std::int64_t lastDigitExponent = std::clamp(written + scale * digitBits, -kExponentClamp, kExponentClamp);
    const auto digitCount = static_cast<std::int64_t>(end - text);
    *end++ = hexadecimal_ ? 'p' : 'e';
    end = std::to_chars(end, text + sizeof text, lastDigitExponent).ptr;
    const auto format = hexadecimal_ ? std::chars_format::hex : std::chars_format::general;
    float value = 0.0f;
    if (std::from_chars(text, end, value, format).ec == std::errc::result_out_of_range) {
        // Out of range is either overflow or underflow, told apart by the
        // order of magnitude of the leading digit.
        const bool overflow = lastDigitExponent + digitCount * digitBits > 0;
        value = overflow ? std::numeric_limits<float>::infinity() : 0.0f;
    }
    return value;
}

}  // namespace vivezeru5
