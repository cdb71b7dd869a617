#include "readers/format_recognition.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "readers/data_file.h"
#include "readers/token_scanner.h"

namespace vivezeru5 {
namespace {

// Enough of a word to tell a number; longer words are no numbers of these files.
constexpr std::size_t kWordKept = 64;

// The words of a file, one at a time, as "%s" takes them.
class Words {
public:
    explicit Words(TokenScanner& scanner) : scanner_(scanner) {}

    // The next word, or nothing at the end of the reading.
    std::optional<std::string_view> next() {
        std::size_t length = 0;
        if (!scanner_.readWord(word_, kWordKept, length)) {
            return std::nullopt;
        }
        if (length > kWordKept) {
            word_.assign(1, '?');  // no number
        }
        return std::string_view(word_);
    }

private:
    TokenScanner& scanner_;
    std::string word_;
};

// An optionally signed run of decimal digits.
bool isInteger(std::string_view word) {
    if (!word.empty() && (word.front() == '+' || word.front() == '-')) {
        word.remove_prefix(1);
    }
    if (word.empty()) {
        return false;
    }
    for (const char c : word) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::optional<std::int64_t> integerValue(std::string_view word) {
    if (!isInteger(word)) {
        return std::nullopt;
    }
    if (word.front() == '+') {
        word.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

// A number written with a fraction or an exponent, such as "12.5" or "1e3".
bool isDecimal(std::string_view word) {
    if (isInteger(word) || word.find_first_of("0123456789") == std::string_view::npos) {
        return false;
    }
    if (word.front() == '+') {
        word.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return end == word.data() + word.size() && error != std::errc::invalid_argument;
}

// Whether a level value of the first type-5 station with levels is written
// with decimals; the words before it (description, date line) are skipped.
bool hasDecimalLevels(Words& words) {
    constexpr int kSkipped = 1 + 5;  // description; year month day hour stationCount
    for (int i = 0; i < kSkipped; ++i) {
        if (!words.next()) {
            return false;
        }
    }
    while (true) {
        std::optional<std::string_view> word;
        for (int i = 0; i < 5; ++i) {  // id longitude latitude elevation valueCount
            word = words.next();
            if (!word) {
                return false;
            }
        }
        const auto valueCount = integerValue(*word);
        if (!valueCount || *valueCount < 0) {
            return false;
        }
        if (*valueCount == 0) {
            continue;
        }
        for (std::int64_t i = 0; i < *valueCount; ++i) {
            const auto value = words.next();
            if (!value) {
                return false;
            }
            if (isDecimal(*value)) {
                return true;
            }
        }
        return false;
    }
}

std::optional<FileFormat> recogniseWords(Words& words) {
    const auto first = words.next();
    if (!first) {
        return std::nullopt;
    }
    if (isInteger(*first)) {
        return FileFormat::Rozedu;
    }
    const auto second = words.next();
    if (!second) {
        return std::nullopt;
    }
    const auto dataType = integerValue(*second);
    if (dataType == 1) {
        return FileFormat::Surface;
    }
    if (dataType == 5) {
        return hasDecimalLevels(words) ? FileFormat::Type5Plain : FileFormat::Type5;
    }
    return std::nullopt;
}

}  // namespace

Recognition recogniseFile(const char* path) {
    Recognition recognition;
    errno = 0;
    DataFile file(path);
    if (!file.isOpen()) {
        recognition.openError = errno;
        return recognition;
    }
    TokenScanner scanner(file.handle());
    if (!scanner.isReady()) {
        recognition.openError = ENOMEM;
        return recognition;
    }
    Words words(scanner);
    errno = 0;
    const std::optional<FileFormat> format = recogniseWords(words);
    if (std::ferror(file.handle()) != 0) {
        // A directory opens but cannot be read.
        recognition.openError = errno;
        return recognition;
    }
    recognition.opened = true;
    recognition.format = format;
    return recognition;
}

}  // namespace vivezeru5
