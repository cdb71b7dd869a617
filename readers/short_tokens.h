// The short numbers that make up almost every station file ("850", "-12",
// "-3.7"), recognised and converted straight from the scanner's buffer.
//
// Each function looks at the characters [at, end): it skips white space and,
// when the next token is short and simple and a character after it lies
// inside the range (so the token is known to end there), converts it as the C
// library's formatted input would, and answers where the token starts and
// where the next character is. Anything else (a token reaching `end`, signs
// without digits, long digit strings, exponents, hexadecimal or spelled-out
// numbers) is answered with false and left to the general conversions.
#pragma once

#include <cstdint>

namespace vivezeru5 {

struct ShortToken {
    const unsigned char* start;  // the token's first character, after any white space
    const unsigned char* next;   // the character after it, which stays unread
};

// "%d": an optional sign and at most 18 digits, followed by a non-digit.
bool scanShortInteger(const unsigned char* at, const unsigned char* end, ShortToken& token,
                      std::int32_t& value);

// "%f": an optional sign, digits with at most one decimal point (at most 8
// significant digits, at most 10 after the point), followed by white space.
bool scanShortDecimal(const unsigned char* at, const unsigned char* end, ShortToken& token, float& value);

}  // namespace vivezeru5
