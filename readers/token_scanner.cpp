#include "readers/token_scanner.h"

#include <climits>
#include <cmath>
#include <limits>
#include <new>

#include "readers/real_number_text.h"

namespace vivezeru5 {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 16;
constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

bool isDigit(int c) { return c >= '0' && c <= '9'; }

bool isHexDigit(int c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int toLower(int c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

}  // namespace

TokenScanner::TokenScanner(std::FILE* file)
    : file_(file), buffer_(new (std::nothrow) unsigned char[kBufferSize]) {}

int TokenScanner::refill() {
    if (atEnd_ || file_ == nullptr || buffer_ == nullptr) {
        return EOF;
    }
    filled_ = std::fread(buffer_.get(), 1, kBufferSize, file_);
    position_ = 0;
    if (filled_ == 0) {
        atEnd_ = true;
        return EOF;
    }
    return buffer_[position_++];
}

void TokenScanner::unget(int c) {
    pushedBack_ = c;
    if (c != EOF && !isBlankCharacter(c)) {
        --runLength_;  // counted again when taken again
    }
}

void TokenScanner::endReading() {
    ended_ = true;
    atEnd_ = true;
    position_ = 0;
    filled_ = 0;
    pushedBack_ = EOF;
}

bool TokenScanner::endedByLongToken() {
    if (!ended_ && runLength_ > kMaxTokenLength) {
        endReading();
    }
    return ended_;
}

template <typename Value, typename Convert>
bool TokenScanner::boundedConversion(Value& value, Convert convert) {
    if (ended_) {
        return false;
    }
    Value converted{};
    const bool succeeded = convert(converted);
    if (endedByLongToken() || !succeeded) {
        return false;
    }
    value = converted;
    return true;
}

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
    while (c != EOF && isBlankCharacter(c)) {
        runLength_ = 0;
        c = get();
    }
    return c;
}

bool TokenScanner::readInt(std::int32_t& value) {
    return boundedConversion(value, [this](std::int32_t& converted) { return convertInt(converted); });
}

bool TokenScanner::convertInt(std::int32_t& value) {
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

// The value of a spelled-out "inf", "infinity" or "nan", with its sign.
float spelledValue(bool infinite, bool negative) {
    const float magnitude =
        infinite ? std::numeric_limits<float>::infinity() : std::numeric_limits<float>::quiet_NaN();
    return std::copysign(magnitude, negative ? -1.0f : 1.0f);
}

bool TokenScanner::readFloat(float& value) {
    return boundedConversion(value, [this](float& converted) { return convertFloat(converted); });
}

// Takes the characters the C library's "%f" takes, then converts them. The
// take is greedy: "1e+" is taken whole and converts as 1, while "+." and a
// lone "0x" take their characters and convert nothing.
bool TokenScanner::convertFloat(float& value) {
    int c = skipBlanks();
    if (c == EOF) {
        return false;
    }
    RealNumberText number;
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        if (negative) {
            number.setNegative();
        }
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
        }
        return true;
    };
    if (toLower(c) == 'n') {
        if (!expectLetters("an")) {
            return false;
        }
        value = spelledValue(false, negative);
        return true;
    }
    if (toLower(c) == 'i') {
        if (!expectLetters("nf")) {
            return false;
        }
        c = get();
        if (c != EOF) {
            if (toLower(c) == 'i') {
                if (!expectLetters("nity")) {
                    return false;
                }
            } else {
                unget(c);
            }
        }
        value = spelledValue(true, negative);
        return true;
    }

    bool hexadecimal = false;
    bool digitSeen = false;
    bool dotSeen = false;
    bool exponentSeen = false;
    bool afterExponentLetter = false;  // the exponent's sign may come next
    bool takenAfterPrefix = false;     // a hexadecimal number has more than its "0x"
    int exponentChar = 'e';
    if (c == '0') {
        number.addMantissaDigit(c);
        c = get();
        if (toLower(c) == 'x') {
            hexadecimal = true;
            number.setHexadecimal();
            exponentChar = 'p';
            c = get();
        } else {
            digitSeen = true;
        }
    }
    while (true) {
        const bool wasAfterExponentLetter = afterExponentLetter;
        afterExponentLetter = false;
        if (isDigit(c) || (!exponentSeen && hexadecimal && isHexDigit(c))) {
            if (exponentSeen) {
                number.addExponentDigit(c);
            } else {
                number.addMantissaDigit(c);
            }
            digitSeen = true;
        } else if (wasAfterExponentLetter && (c == '-' || c == '+')) {
            if (c == '-') {
                number.setExponentNegative();
            }
        } else if (digitSeen && !exponentSeen && toLower(c) == exponentChar) {
            exponentSeen = true;
            dotSeen = true;
            afterExponentLetter = true;
        } else if (!dotSeen && c == '.') {
            number.markPoint();
            dotSeen = true;
        } else {
            unget(c);
            break;
        }
        takenAfterPrefix = true;
        c = get();
        if (c == EOF) {
            break;
        }
    }
    // A decimal number needs a digit; a hexadecimal one anything after its
    // prefix ("0x." is 0).
    if (hexadecimal ? !takenAfterPrefix : !digitSeen) {
        return false;
    }
    value = number.toFloat();
    return true;
}

bool TokenScanner::readWord(std::string& word, std::size_t keep, std::size_t& length) {
    word.clear();
    length = 0;
    std::size_t taken = 0;
    if (!boundedConversion(taken, [&](std::size_t& count) { return takeWord(word, keep, kNoLimit, count); })) {
        return false;
    }
    length = taken;
    return true;
}

bool TokenScanner::readShortWord(std::string& word, std::size_t limit) {
    word.clear();
    std::size_t length = 0;
    return boundedConversion(length, [&](std::size_t& count) { return takeWord(word, limit, limit + 1, count); }) &&
           length <= limit;
}

// Takes the next run of non-blank characters, or its first `stopAfter`;
// keeps its first `keep` in `word` and counts them all in `length`.
bool TokenScanner::takeWord(std::string& word, std::size_t keep, std::size_t stopAfter, std::size_t& length) {
    int c = skipBlanks();
    if (c == EOF) {
        return false;
    }
    while (c != EOF && !isBlankCharacter(c)) {
        if (length < keep) {
            word.push_back(static_cast<char>(c));
        }
        if (++length == stopAfter) {
            return true;
        }
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
