// The characters of one real number, kept in a bounded form and converted to
// the float the C library's "%f" stores for them.
//
// Only the first kKeptDigits significant digits are stored; a non-zero digit
// among the rest is remembered as one further digit 1, and the digits dropped
// before the point move the exponent. The float nearest to a number, and the
// way a tie is broken, depend on no more digits than that, so a number of any
// length converts exactly as if every digit had been kept.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vivezeru5 {

class RealNumberText {
public:
    // Significant digits stored; ample for the correctly rounded float (and double).
    static constexpr int kKeptDigits = 800;

    void setNegative() { negative_ = true; }
    // The mantissa digits that follow are hexadecimal and the exponent is binary.
    void setHexadecimal() { hexadecimal_ = true; }
    // A digit character of the mantissa ('0'-'9', or 'a'-'f'/'A'-'F' when hexadecimal).
    void addMantissaDigit(int c) {
        if (kept_ == 0 && c == '0') {
            // A leading zero: only its place after the point counts.
            scale_ -= pointSeen_ ? 1 : 0;
            return;
        }
        if (kept_ < kKeptDigits) {
            digits_[kept_++] = static_cast<char>(c);
            scale_ -= pointSeen_ ? 1 : 0;
            return;
        }
        droppedNonZero_ = droppedNonZero_ || c != '0';
        scale_ += pointSeen_ ? 0 : 1;
    }
    void markPoint() { pointSeen_ = true; }
    void setExponentNegative() { exponentNegative_ = true; }
    void addExponentDigit(int c) {
        exponent_ = std::min(exponent_ * 10 + (c - '0'), kExponentCeiling);
    }

    // The correctly rounded float, as the C library rounds it: ±infinity above
    // the float range, ±0 or a subnormal below it.
    float toFloat() const;

private:
    // Beyond this a written exponent only makes the number overflow or vanish.
    static constexpr std::int64_t kExponentCeiling = 1000000000;

    float magnitude() const;         // of a number with at least one significant digit
    float convertKeptDigits() const;  // the general conversion of the kept digits

    bool negative_ = false;
    bool hexadecimal_ = false;
    bool pointSeen_ = false;
    bool exponentNegative_ = false;
    bool droppedNonZero_ = false;    // a non-zero digit after the kept ones
    int kept_ = 0;                   // significant digits stored in digits_
    std::int64_t scale_ = 0;         // digit positions between the last kept digit and the units
    std::int64_t exponent_ = 0;      // the written exponent, saturated
    char digits_[kKeptDigits];
};

}  // namespace vivezeru5
