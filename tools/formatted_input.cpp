#include "formatted_input.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace vivezeru5::cli {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

char FormattedInput::peek(std::size_t offset) const {
    return position_ + offset < text_.size() ? text_[position_ + offset] : '\0';
}

void FormattedInput::skipBlanks() {
    while (position_ < text_.size() && isBlank(text_[position_])) {
        ++position_;
    }
}

bool FormattedInput::atEnd() {
    skipBlanks();
    return position_ >= text_.size();
}

std::size_t FormattedInput::digitsFrom(std::size_t at, bool hex) const {
    std::size_t end = at;
    while (end < text_.size() && (hex ? isHexDigit(text_[end]) : isDigit(text_[end]))) {
        ++end;
    }
    return end - at;
}

// Length of `word` matched case-insensitively at `at`, or 0.
std::size_t FormattedInput::matchWord(std::size_t at, std::string_view word) const {
    if (text_.size() - std::min(at, text_.size()) < word.size()) {
        return 0;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (lower(text_[at + i]) != word[i]) {
            return 0;
        }
    }
    return word.size();
}

std::optional<std::int32_t> FormattedInput::readInteger() {
    skipBlanks();
    std::size_t at = position_;
    bool negative = false;
    if (peek() == '+' || peek() == '-') {
        negative = peek() == '-';
        ++at;
    }
    const std::size_t digits = digitsFrom(at, false);
    if (digits == 0) {
        return std::nullopt;
    }
    // Out-of-range values saturate, as the C library's conversion does.
    std::int64_t value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        value = std::min<std::int64_t>(value * 10 + (text_[i] - '0'), std::int64_t{1} << 40);
    }
    value = negative ? -value : value;
    position_ = at + digits;
    value = std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(value);
}

std::optional<double> FormattedInput::readReal() {
    skipBlanks();
    const std::size_t start = position_;
    std::size_t at = start;
    if (peek() == '+' || peek() == '-') {
        ++at;
    }
    std::size_t end = at;
    if (const std::size_t infinity = matchWord(at, "infinity")) {
        end = at + infinity;
    } else if (const std::size_t inf = matchWord(at, "inf")) {
        end = at + inf;
    } else if (const std::size_t nan = matchWord(at, "nan")) {
        end = at + nan;
        // "nan(chars)": letters, digits and underscores between the parentheses.
        std::size_t close = end + 1;
        while (close < text_.size() && (isDigit(text_[close]) || (lower(text_[close]) >= 'a' && lower(text_[close]) <= 'z') ||
                                        text_[close] == '_')) {
            ++close;
        }
        if (end < text_.size() && text_[end] == '(' && close < text_.size() && text_[close] == ')') {
            end = close + 1;
        }
    } else {
        const bool hex = text_.size() > at + 1 && text_[at] == '0' && lower(text_[at + 1]) == 'x' &&
                         (isHexDigit(at + 2 < text_.size() ? text_[at + 2] : '\0') ||
                          (at + 3 < text_.size() && text_[at + 2] == '.' && isHexDigit(text_[at + 3])));
        if (hex) {
            at += 2;
        }
        std::size_t mantissa = digitsFrom(at, hex);
        end = at + mantissa;
        if (end < text_.size() && text_[end] == '.') {
            const std::size_t fraction = digitsFrom(end + 1, hex);
            mantissa += fraction;
            end += 1 + fraction;
        }
        if (mantissa == 0) {
            return std::nullopt;
        }
        const char exponentMark = hex ? 'p' : 'e';
        if (end < text_.size() && lower(text_[end]) == exponentMark) {
            std::size_t exponent = end + 1;
            if (exponent < text_.size() && (text_[exponent] == '+' || text_[exponent] == '-')) {
                ++exponent;
            }
            if (const std::size_t digits = digitsFrom(exponent, false)) {
                end = exponent + digits;
            }
        }
    }
    if (end == at) {
        return std::nullopt;
    }
    position_ = end;
    // The value matters only for counts and tests against 1 and 2; a plain
    // decimal conversion is enough.
    double value = 0;
    const std::string token(text_.substr(start, end - start));
    std::from_chars(token.data() + (token[0] == '+' ? 1 : 0), token.data() + token.size(), value);
    return value;
}

bool FormattedInput::readWord() {
    skipBlanks();
    if (position_ >= text_.size()) {
        return false;
    }
    while (position_ < text_.size() && !isBlank(text_[position_])) {
        ++position_;
    }
    return true;
}

std::string_view FormattedInput::tokenAt(std::size_t position, std::size_t limit) const {
    std::size_t end = position;
    while (end < text_.size() && !isBlank(text_[end]) && end - position < limit) {
        ++end;
    }
    return text_.substr(std::min(position, text_.size()), end - std::min(position, text_.size()));
}

std::size_t FormattedInput::lineOf(std::size_t position) const {
    const std::size_t end = std::min(position, text_.size());
    return 1 + static_cast<std::size_t>(std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

}  // namespace vivezeru5::cli
