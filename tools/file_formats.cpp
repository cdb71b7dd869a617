#include "file_formats.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace vivezeru5::cli {
namespace {

constexpr FormatTraits kTraits[] = {
    {FileFormat::Type5, "type5", "readVelmorData5", "type-5 soundings, integer levels, analysed", true, true},
    {FileFormat::Type5Plain, "type5-plain", "readVelmor5Only", "type-5 soundings, levels read as decimals, not analysed",
     true, false},
    {FileFormat::Rozedu, "rozedu", "readRozeduData", "characteristic-level soundings, analysed", true, true},
    {FileFormat::Surface, "surface", "ReadVelmorData1", "type-1 surface reports", false, false},
};

bool isInteger(std::string_view token) {
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) {
        token.remove_prefix(1);
    }
    if (token.empty()) {
        return false;
    }
    for (const char c : token) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::optional<std::int64_t> integerValue(std::string_view token) {
    if (!isInteger(token)) {
        return std::nullopt;
    }
    if (token.front() == '+') {
        token.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc{} || end != token.data() + token.size()) {
        return std::nullopt;
    }
    return value;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The readers stop at a word longer than this (see vivezeru5.h), and so
// does recognition, so that a file whose word never ends is read no further.
constexpr std::size_t kLongestToken = std::size_t{1} << 20;

// The text of `file` up to its end, or up to the character that takes a word
// past the longest token.
std::string readableText(std::istream& file) {
    std::string text;
    std::size_t run = 0;
    char chunk[1 << 16];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        const auto count = static_cast<std::size_t>(file.gcount());
        for (std::size_t i = 0; i < count; ++i) {
            run = isBlank(chunk[i]) ? 0 : run + 1;
            if (run > kLongestToken) {
                text.append(chunk, i);
                return text;
            }
        }
        text.append(chunk, count);
    }
    return text;
}

std::vector<std::string_view> tokens(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t position = 0;
    while (position < text.size()) {
        while (position < text.size() && isBlank(text[position])) {
            ++position;
        }
        const std::size_t start = position;
        while (position < text.size() && !isBlank(text[position])) {
            ++position;
        }
        if (position > start) {
            result.push_back(text.substr(start, position - start));
        }
    }
    return result;
}

// True when some level value of the type-5 stations is not an integer. The
// walk follows the station headers (id lon lat elevation valueCount) and stops
// where one does not make sense.
bool hasDecimalLevels(const std::vector<std::string_view>& words) {
    constexpr std::size_t kFirstStation = 3 + 5;  // tag, type, description; date line
    std::size_t position = kFirstStation;
    while (position + 5 <= words.size()) {
        const auto valueCount = integerValue(words[position + 4]);
        if (!valueCount || *valueCount < 0) {
            return false;
        }
        position += 5;
        const std::size_t end = position + static_cast<std::size_t>(
                                               std::min<std::int64_t>(*valueCount, std::int64_t{1} << 40));
        for (; position < end && position < words.size(); ++position) {
            if (!isInteger(words[position])) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

const FormatTraits& traitsOf(FileFormat format) {
    for (const auto& traits : kTraits) {
        if (traits.format == format) {
            return traits;
        }
    }
    return kTraits[0];
}

std::optional<FileFormat> formatNamed(std::string_view name) {
    for (const auto& traits : kTraits) {
        if (name == traits.optionName) {
            return traits.format;
        }
    }
    return std::nullopt;
}

std::string formatNames() {
    std::string names;
    for (const auto& traits : kTraits) {
        if (!names.empty()) {
            names += ", ";
        }
        names += traits.optionName;
    }
    return names;
}

std::optional<FileFormat> recogniseText(std::string_view text) {
    const std::vector<std::string_view> words = tokens(text);
    if (words.empty()) {
        return std::nullopt;
    }
    if (isInteger(words[0])) {
        return FileFormat::Rozedu;
    }
    if (words.size() < 2) {
        return std::nullopt;
    }
    const auto dataType = integerValue(words[1]);
    if (dataType == 1) {
        return FileFormat::Surface;
    }
    if (dataType == 5) {
        return hasDecimalLevels(words) ? FileFormat::Type5Plain : FileFormat::Type5;
    }
    return std::nullopt;
}

RecognitionResult recognise(const std::string& path) {
    RecognitionResult result;
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        result.outcome = Recognition::CannotOpen;
        result.openError = errno;
        return result;
    }
    const std::string text = readableText(file);
    const auto format = recogniseText(text);
    if (!format) {
        return result;
    }
    result.outcome = Recognition::Recognised;
    result.format = *format;
    return result;
}

}  // namespace vivezeru5::cli
