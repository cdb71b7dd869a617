#include "readers/short_tokens.h"

namespace vivezeru5 {
namespace {

constexpr int kMaxIntegerDigits = 18;  // no magnitude of 18 digits leaves a 64-bit long
constexpr int kMaxSignificantDigits = 8;
constexpr int kMaxFractionDigits = 10;

// The C locale's white space: blank, and \t \n \v \f \r, which are 9 to 13.
bool isWhiteSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// mantissa / 10^fractionDigits rounded once to float: exact when the mantissa
// is at most 2^24 and the power at most 10^10, both then exact in single
// precision, so one single-precision division rounds the quotient correctly.
bool exactShortDecimal(std::uint64_t mantissa, int fractionDigits, float& magnitude) {
    static constexpr float kPowersOfTen[kMaxFractionDigits + 1] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                                                   1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    if (mantissa > (std::uint64_t{1} << 24)) {
        return false;
    }
    magnitude = static_cast<float>(mantissa) / kPowersOfTen[fractionDigits];
    return true;
}

// The beginning of the next token: its first character after white space,
// and the one after its sign, if it has one.
struct TokenStart {
    const unsigned char* start;
    const unsigned char* afterSign;
    bool negative;
};

// False when only white space lies before `end`.
bool startToken(const unsigned char* at, const unsigned char* end, TokenStart& token) {
    while (at < end && isWhiteSpace(*at)) {
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

}  // namespace

bool scanShortInteger(const unsigned char* at, const unsigned char* end, ShortToken& token,
                      std::int32_t& value) {
    TokenStart begun;
    if (!startToken(at, end, begun)) {
        return false;
    }
    const unsigned char* const digits = begun.afterSign;
    const unsigned char* p = digits;
    std::uint64_t magnitude = 0;
    while (p < end && isDigit(*p)) {
        if (p - digits == kMaxIntegerDigits) {
            return false;
        }
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(*p - '0');
        ++p;
    }
    if (p == end || p == digits) {
        return false;
    }
    const auto asLong = static_cast<std::int64_t>(magnitude);
    value = static_cast<std::int32_t>(begun.negative ? -asLong : asLong);  // low 32 bits, as stored through an int
    token = {begun.start, p};
    return true;
}

bool scanShortDecimal(const unsigned char* at, const unsigned char* end, ShortToken& token, float& value) {
    TokenStart begun;
    if (!startToken(at, end, begun)) {
        return false;
    }
    const unsigned char* p = begun.afterSign;
    std::uint64_t mantissa = 0;
    int significantDigits = 0;
    int fractionDigits = 0;
    bool digitSeen = false;
    bool pointSeen = false;
    for (; p < end; ++p) {
        const unsigned char c = *p;
        if (isDigit(c)) {
            digitSeen = true;
            fractionDigits += pointSeen ? 1 : 0;
            if (mantissa != 0 || c != '0') {
                if (++significantDigits > kMaxSignificantDigits) {
                    return false;
                }
            }
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        } else if (c == '.' && !pointSeen) {
            pointSeen = true;
        } else {
            break;
        }
    }
    float magnitude = 0;
    if (p == end || !digitSeen || !isWhiteSpace(*p) || fractionDigits > kMaxFractionDigits ||
        !exactShortDecimal(mantissa, fractionDigits, magnitude)) {
        return false;
    }
    value = begun.negative ? -magnitude : magnitude;
    token = {begun.start, p};
    return true;
}

}  // namespace vivezeru5
