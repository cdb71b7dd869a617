#include "readers/token_scanner.h"

#include <climits>
#include <cstdlib>

#include <locale.h>  // newlocale / _create_locale for the "C" locale conversions

namespace vivezeru5 {
namespace {

// White space of the "C" locale, whatever locale the host has set.
bool isBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

bool isHexDigit(int c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int toLower(int c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Real numbers are always read with the "C" locale's decimal point, so a host
// that switched LC_NUMERIC does not change what the files mean.
#if defined(_WIN32)
_locale_t classicLocale() {
    static _locale_t locale = _create_locale(LC_ALL, "C");
    return locale;
}
float parseFloat(const char* text, char** end) { return _strtof_l(text, end, classicLocale()); }
#else
locale_t classicLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}
float parseFloat(const char* text, char** end) { return strtof_l(text, end, classicLocale()); }
#endif

// The common case of a short decimal such as "-12.5" or "850", converted
// without the general routine: a mantissa below 2^24 and a power of ten up to
// 10^10 are both exact in single precision, so one single-precision multiply
// or divide rounds exactly once, to the same float the general routine gives.
// Anything else (longer mantissas, larger exponents, hexadecimal, inf, nan)
// answers false and takes the general routine.
bool convertShortDecimal(const std::string& text, float& value) {
    static constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                             1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 24;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        ++i;
    }
    std::uint64_t mantissa = 0;
    int digits = 0;
    int exponent = 0;
    bool dotSeen = false;
    for (; i < text.size() && (isDigit(text[i]) || (text[i] == '.' && !dotSeen)); ++i) {
        if (text[i] == '.') {
            dotSeen = true;
            continue;
        }
        ++digits;
        if (mantissa > kExactMantissa) {
            return false;
        }
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (dotSeen) {
            --exponent;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size()) {
        // An exponent; "1e" and "1e+" have none to speak of and read as 1.
        if (text[i] != 'e') {
            return false;
        }
        ++i;
        const bool negativeExponent = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            ++i;
        }
        int written = 0;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            if (written > 1000) {
                return false;
            }
            written = written * 10 + (text[i] - '0');
        }
        if (i != text.size()) {
            return false;
        }
        exponent += negativeExponent ? -written : written;
    }
    if (mantissa > kExactMantissa) {
        return false;
    }
    float magnitude = 0.0f;
    if (mantissa != 0) {
        if (exponent < -10 || exponent > 10) {
            return false;
        }
        magnitude = exponent >= 0 ? static_cast<float>(mantissa) * kPowersOfTen[exponent]
                                  : static_cast<float>(mantissa) / kPowersOfTen[-exponent];
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

TokenScanner::TokenScanner(std::FILE* file) : file_(file) {}

int TokenScanner::refill() {
    if (atEnd_ || file_ == nullptr) {
        return EOF;
    }
    filled_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    position_ = 0;
    if (filled_ == 0) {
        atEnd_ = true;
        return EOF;
    }
    return buffer_[position_++];
}

void TokenScanner::unget(int c) { pushedBack_ = c; }

long TokenScanner::position() const {
    const long fileOffset = file_ == nullptr ? 0 : std::ftell(file_);
    if (fileOffset < 0) {
        return -1;
    }
    const long held = static_cast<long>(filled_ - position_) + (pushedBack_ != EOF ? 1 : 0);
    return fileOffset - held;
}

int TokenScanner::skipBlanks() {
    int c = get();
    while (isBlank(c)) {
        c = get();
    }
    return c;
}

bool TokenScanner::readInt(std::int32_t& value) {
    int c = skipBlanks();
    if (c == EOF) {
        return false;
    }
    bool negative = false;
    bool signSeen = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        signSeen = true;
        c = get();
    }
    // Accumulate the magnitude, remembering whether it left the range of a long.
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    bool digitSeen = false;
    while (isDigit(c)) {
        digitSeen = true;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        // Below limit / 10 − 1 no digit can overflow; only longer numbers pay the exact test.
        if (magnitude < limit / 10 - 1) {
            magnitude = magnitude * 10 + digit;
        } else if (!overflow && magnitude > (limit - digit) / 10) {
            overflow = true;
        } else if (!overflow) {
            magnitude = magnitude * 10 + digit;
        }
        c = get();
    }
    unget(c);
    if (!digitSeen) {
        (void)signSeen;  // a lone sign is consumed, as the C library does
        return false;
    }
    std::int64_t asLong;
    if (overflow) {
        asLong = negative ? INT64_MIN : INT64_MAX;
    } else if (negative) {
        asLong = magnitude == (std::uint64_t{1} << 63) ? INT64_MIN
                                                        : -static_cast<std::int64_t>(magnitude);
    } else {
        asLong = static_cast<std::int64_t>(magnitude);
    }
    value = static_cast<std::int32_t>(asLong);  // low 32 bits, as stored through an int
    return true;
}

bool TokenScanner::convertCollected(float& value) {
    if (convertShortDecimal(collected_, value)) {
        return true;
    }
    char* end = nullptr;
    const float converted = parseFloat(collected_.c_str(), &end);
    if (end == collected_.c_str()) {
        return false;
    }
    value = converted;
    return true;
}

// Collects the characters the C library's "%f" takes, then converts them. The
// collection is greedy: "1e+" is taken whole and converts as 1, while "+." and
// a lone "0x" take their characters and convert nothing.
bool TokenScanner::readFloat(float& value) {
    std::string& text = collected_;
    text.clear();
    int c = skipBlanks();
    if (c == EOF) {
        return false;
    }
    bool signSeen = false;
    if (c == '-' || c == '+') {
        signSeen = true;
        text.push_back(static_cast<char>(c));
        c = get();
        if (c == EOF) {
            return false;
        }
    }
    // Spelled-out values: a mismatching letter is consumed with the failure.
    auto expectLetters = [&](const char* letters) {
        for (const char* letter = letters; *letter != '\0'; ++letter) {
            c = get();
            if (c == EOF || toLower(c) != *letter) {
                return false;
            }
            text.push_back(static_cast<char>(c));
        }
        return true;
    };
    if (toLower(c) == 'n') {
        text.push_back(static_cast<char>(c));
        if (!expectLetters("an")) {
            return false;
        }
        return convertCollected(value);
    }
    if (toLower(c) == 'i') {
        text.push_back(static_cast<char>(c));
        if (!expectLetters("nf")) {
            return false;
        }
        c = get();
        if (c != EOF) {
            if (toLower(c) == 'i') {
                text.push_back(static_cast<char>(c));
                if (!expectLetters("nity")) {
                    return false;
                }
            } else {
                unget(c);
            }
        }
        return convertCollected(value);
    }

    bool hexadecimal = false;
    bool digitSeen = false;
    bool dotSeen = false;
    bool exponentSeen = false;
    int exponentChar = 'e';
    if (c == '0') {
        text.push_back('0');
        c = get();
        if (toLower(c) == 'x') {
            text.push_back(static_cast<char>(c));
            hexadecimal = true;
            exponentChar = 'p';
            c = get();
        } else {
            digitSeen = true;
        }
    }
    while (true) {
        if (isDigit(c) || (!exponentSeen && hexadecimal && isHexDigit(c))) {
            text.push_back(static_cast<char>(c));
            digitSeen = true;
        } else if (exponentSeen && text.back() == exponentChar && (c == '-' || c == '+')) {
            text.push_back(static_cast<char>(c));
        } else if (digitSeen && !exponentSeen && toLower(c) == exponentChar) {
            text.push_back(static_cast<char>(exponentChar));
            exponentSeen = true;
            dotSeen = true;
        } else if (!dotSeen && c == '.') {
            text.push_back('.');
            dotSeen = true;
        } else {
            unget(c);
            break;
        }
        c = get();
        if (c == EOF) {
            break;
        }
    }
    const std::size_t signLength = signSeen ? 1 : 0;
    if (text.size() == signLength || (hexadecimal && text.size() == 2 + signLength)) {
        return false;
    }
    return convertCollected(value);
}

bool TokenScanner::readWord(std::string& word, std::size_t keep, std::size_t& length) {
    word.clear();
    length = 0;
    int c = skipBlanks();
    if (c == EOF) {
        return false;
    }
    while (c != EOF && !isBlank(c)) {
        if (length < keep) {
            word.push_back(static_cast<char>(c));
        }
        ++length;
        c = get();
    }
    unget(c);
    return true;
}

int readInts(TokenScanner& scanner, std::int32_t* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!scanner.readInt(values[i])) {
            return i;
        }
    }
    return count;
}

int readFloats(TokenScanner& scanner, float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!scanner.readFloat(values[i])) {
            return i;
        }
    }
    return count;
}

}  // namespace vivezeru5
