#include "value_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "vivezeru5/vivezeru5_reading.h"

namespace vivezeru5::cli {

float shownLevelValue(const float* level, int field) {
    constexpr int kHeight = 1;
    return field == kHeight && level[field] == vivezeru5_missing_height() ? VIVEZERU5_MISSING : level[field];
}

int shownTwoDigitYear(int written) { return written >= 69 ? 1900 + written : 2000 + written; }

std::string shortestText(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string identifierText(float value) {
    char text[64];
    if (std::isfinite(value) && std::floor(value) == value && std::fabs(value) < 1e9f) {
        std::snprintf(text, sizeof text, "%.0f", static_cast<double>(value));
    } else {
        std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    }
    return text;
}

bool isWholeIn(float value, float low, float high) {
    return std::isfinite(value) && std::floor(value) == value && value >= low && value <= high;
}

std::optional<std::string> isoTime(const ObservationTime& time) {
    if (!isWholeIn(time.year, 1000, 9999) || !isWholeIn(time.month, 1, 12) || !isWholeIn(time.day, 1, 31) ||
        !isWholeIn(time.hour, 0, 24)) {
        return std::nullopt;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04.0f-%02.0f-%02.0fT%02.0f:00", static_cast<double>(time.year),
                  static_cast<double>(time.month), static_cast<double>(time.day), static_cast<double>(time.hour));
    return std::string(text);
}

}  // namespace vivezeru5::cli
