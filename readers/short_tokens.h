// The short numbers that make up almost every station file ("850", "-12",
// "-3.7"), recognised and converted straight from the scanner's buffer.
//
// Each function looks at the characters [at, end), where *end must be
// readable and hold kShortTokenEndMark, which stops every loop of the scan
// without a test of the position. It skips white space and,
// when the next token is short and simple and a character after it lies
// inside the range (so the token is known to end there), converts it as the C
// library's formatted input would, and answers where the token starts and
// where the next character is. Anything else (a token reaching `end`, signs
// without digits, long digit strings, exponents, hexadecimal or spelled-out
// numbers) is answered with false and left to the general conversions.
//
// They run once a number, so they are inline, for the scanner's loops.
#pragma once

#include <cstdint>

namespace vivezeru5 {

// Neither white space, nor a sign, a digit or a point.
inline constexpr unsigned char kShortTokenEndMark = '\0';

struct ShortToken {
    const unsigned char* start;  // the token's first character, after any white space
    const unsigned char* next;   // the character after it, which stays unread
};

namespace short_tokens {

// No magnitude of 18 digits leaves a 64-bit long.
inline constexpr std::int64_t kMaxDigits = 18;
// A mantissa up to 2^24 and a power of ten up to 10^10 are exact in single
// precision, so one single-precision division rounds their quotient correctly.
inline constexpr std::uint64_t kMaxExactMantissa = std::uint64_t{1} << 24;
inline constexpr std::int64_t kMaxFractionDigits = 10;
inline constexpr float kPowersOfTen[kMaxFractionDigits + 1] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                                               1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// The C locale's white space: blank, and \t \n \v \f \r, which are 9 to 13.
inline bool isWhiteSpace(unsigned char c) {
    return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t';
}

// The beginning of the next token: its first character after white space,
// and the one after its sign, if it has one.
struct TokenStart {
    const unsigned char* start;
    const unsigned char* afterSign;
    bool negative;
};

// False when only white space lies before `end`.
inline bool startToken(const unsigned char* at, const unsigned char* end, TokenStart& token) {
    while (isWhiteSpace(*at)) {
        ++at;
    }
    if (at == end) {
        return false;
    }
    token = {at, at, *at == '-'};
    if (*at == '-' || *at == '+') {
        ++token.afterSign;
    }
    return true;
}

// Accumulates the decimal digits from `p` into `value`; returns the first
// character that is not a digit (at the latest the end mark).
inline const unsigned char* takeDigits(const unsigned char* p, std::uint64_t& value) {
    for (auto digit = static_cast<unsigned char>(*p - '0'); digit <= 9; digit = static_cast<unsigned char>(*p - '0')) {
        value = value * 10 + digit;
        ++p;
    }
    return p;
}

}  // namespace short_tokens

// "%d": an optional sign and at most 18 digits, followed by a non-digit.
inline bool scanShortInteger(const unsigned char* at, const unsigned char* end, ShortToken& token,
                             std::int32_t& value) {
    using namespace short_tokens;
    TokenStart begun;
    if (!startToken(at, end, begun)) {
        return false;
    }
    std::uint64_t magnitude = 0;
    const unsigned char* const p = takeDigits(begun.afterSign, magnitude);
    const std::int64_t digits = p - begun.afterSign;
    if (p == end || digits == 0 || digits > kMaxDigits) {
        return false;
    }
    const auto asLong = static_cast<std::int64_t>(magnitude);
    value = static_cast<std::int32_t>(begun.negative ? -asLong : asLong);  // low 32 bits, as through an int
    token = {begun.start, p};
    return true;
}

// "%f": an optional sign, then digits with at most one decimal point, at most
// 10 of them after it and a value of at most 2^24 without it, followed by
// white space.
inline bool scanShortDecimal(const unsigned char* at, const unsigned char* end, ShortToken& token, float& value) {
    using namespace short_tokens;
    TokenStart begun;
    if (!startToken(at, end, begun)) {
        return false;
    }
    std::uint64_t mantissa = 0;
    const unsigned char* p = takeDigits(begun.afterSign, mantissa);
    const std::int64_t wholeDigits = p - begun.afterSign;
    std::int64_t fractionDigits = 0;
    if (*p == '.') {
        const unsigned char* const fraction = p + 1;
        p = takeDigits(fraction, mantissa);
        fractionDigits = p - fraction;
    }
    const std::int64_t digits = wholeDigits + fractionDigits;
    if (p == end || !isWhiteSpace(*p) || digits == 0 || digits > kMaxDigits ||
        fractionDigits > kMaxFractionDigits || mantissa > kMaxExactMantissa) {
        return false;
    }
    const float magnitude = static_cast<float>(static_cast<std::int32_t>(mantissa)) / kPowersOfTen[fractionDigits];
    value = begun.negative ? -magnitude : magnitude;
    token = {begun.start, p};
    return true;
}

}  // namespace vivezeru5
