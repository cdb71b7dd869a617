#include "file_formats.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
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

// Appends the file's text to `text`, stopping before a run of non-blank
// characters longer than the readers take (an endless word ends the reading
// there too). False when the file cannot be read, as a directory cannot.
bool appendReadableText(std::FILE* file, std::string& text) {
    std::size_t run = 0;
    char chunk[1 << 16];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        for (std::size_t i = 0; i < count; ++i) {
            run = isBlank(chunk[i]) ? 0 : run + 1;
            if (run > kLongestToken) {
                text.append(chunk, i);
                return true;
            }
        }
        text.append(chunk, count);
    }
    return std::ferror(file) == 0;
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

// A number written with a fraction or an exponent, such as "12.5" or "1e3".
bool isDecimal(std::string_view token) {
    if (isInteger(token) || token.find_first_of("0123456789") == std::string_view::npos) {
        return false;
    }
    if (token.front() == '+') {
        token.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    return end == token.data() + token.size() && error != std::errc::invalid_argument;
}

// True when a level value of the first type-5 station that has levels is
// written with decimals. Only that station is looked at: a stray word or
// number further on does not change how the whole file is read.
bool hasDecimalLevels(const std::vector<std::string_view>& words) {
    constexpr std::size_t kFirstStation = 3 + 5;  // tag, type, description; date line
    std::size_t position = kFirstStation;
    while (position + 5 <= words.size()) {
        const auto valueCount = integerValue(words[position + 4]);
        if (!valueCount || *valueCount < 0) {
            return false;
        }
        position += 5;
        const std::size_t values =
            static_cast<std::size_t>(std::min<std::int64_t>(*valueCount, static_cast<std::int64_t>(words.size())));
        if (values == 0) {
            continue;
        }
        const std::size_t end = std::min(position + values, words.size());
        return std::any_of(words.begin() + static_cast<std::ptrdiff_t>(position),
                           words.begin() + static_cast<std::ptrdiff_t>(end), isDecimal);
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
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.outcome = Recognition::CannotOpen;
        result.openError = errno;
        return result;
    }
    const bool readable = appendReadableText(file, result.text);
    const int readError = errno;
    std::fclose(file);
    if (!readable) {
        // A directory opens but cannot be read.
        result.outcome = Recognition::CannotOpen;
        result.openError = readError;
        return result;
    }
    const auto format = recogniseText(result.text);
    if (!format) {
        return result;
    }
    result.outcome = Recognition::Recognised;
    result.format = *format;
    return result;
}

}  // namespace vivezeru5::cli
