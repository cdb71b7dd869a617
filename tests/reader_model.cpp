#include "reader_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "vivezeru5/vivezeru5.h"

namespace vivezeru5::model {
namespace {

constexpr float kMissing = VIVEZERU5_MISSING;
constexpr std::int64_t kMaxStations = 1000000;
constexpr std::int64_t kMaxLevels = 1000000;
constexpr int kDerived = VIVEZERU5_DERIVED_COUNT;

class File {
public:
    explicit File(const char* path) : handle_(path == nullptr ? nullptr : std::fopen(path, "r")) {}
    ~File() {
        if (handle_ != nullptr) {
            std::fclose(handle_);
        }
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    std::FILE* get() const { return handle_; }

private:
    std::FILE* handle_;
};

bool isBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The longest word or number the readers take: 1 MiB.
constexpr long kLongestToken = 1L << 20;

// The file as the readers read it: the C library's formatted input, except
// that a conversion which takes the character after the first 1 MiB of a run
// of non-blank characters fails and ends the reading, as the end of the input would.
class Input {
public:
    explicit Input(std::FILE* file) : file_(file) {
        long run = 0;
        for (int c = std::getc(file); c != EOF && cutoff_ < 0; c = std::getc(file)) {
            run = isBlank(c) ? 0 : run + 1;
            if (run > kLongestToken) {
                cutoff_ = std::ftell(file) - 1;
            }
        }
        std::rewind(file);
    }

    // "%s" without a width: the whole next token.
    bool word(std::string& text) {
        return convert([&] {
            text.clear();
            if (std::fscanf(file_, " ") == EOF) {
                return false;
            }
            int c = std::getc(file_);
            if (c == EOF) {
                return false;
            }
            while (c != EOF && !isBlank(c)) {
                text.push_back(static_cast<char>(c));
                c = std::getc(file_);
            }
            if (c != EOF) {
                std::ungetc(c, file_);
            }
            return true;
        });
    }
    bool integer(int& value) { return scan("%d", value); }
    bool real(float& value) { return scan("%f", value); }
    // Up to `count` values, as one "%d %d ..." read: returns how many converted.
    int integers(int* values, int count) {
        for (int i = 0; i < count; ++i) {
            if (!integer(values[i])) {
                return i;
            }
        }
        return count;
    }
    int reals(float* values, int count) {
        for (int i = 0; i < count; ++i) {
            if (!real(values[i])) {
                return i;
            }
        }
        return count;
    }
    bool atEnd() const { return ended_ || std::feof(file_); }

private:
    // One "%d" or "%f"; `value` is left as it was unless it converts.
    template <typename Value>
    bool scan(const char* format, Value& value) {
        Value converted{};
        if (!convert([&] { return std::fscanf(file_, format, &converted) == 1; })) {
            return false;
        }
        value = converted;
        return true;
    }
    template <typename Convert>
    bool convert(Convert conversion) {
        if (ended_) {
            return false;
        }
        const bool converted = conversion();
        if (cutoff_ >= 0 && std::ftell(file_) > cutoff_) {
            ended_ = true;
            return false;
        }
        return converted;
    }

    std::FILE* file_;
    long cutoff_ = -1;  // offset of the first character past the longest token, if any
    bool ended_ = false;
};

// Element 0 is a float; where the count it stores rounds up (beyond 2^24),
// the block holds that many more floats, all -9999.
std::int64_t roundingSlack(std::int64_t count) {
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(static_cast<float>(count)) - count);
}

// Every NaN of a block is the positive quiet NaN, whatever the file spelled.
constexpr std::uint32_t kQuietNanBits = 0x7fc00000u;

float quietNan(float value) {
    if (!std::isnan(value)) {
        return value;
    }
    float nan;
    std::memcpy(&nan, &kQuietNanBits, sizeof nan);
    return nan;
}

class Builder {
public:
    explicit Builder(ExpectedBlock& block) : block_(block) {}
    void add(float value) {
        block_.leading.push_back(quietNan(value));
        block_.derived.push_back(0);
    }
    void addDerived(bool analysed) {
        for (int i = 0; i < kDerived; ++i) {
            block_.leading.push_back(0);
            block_.derived.push_back(analysed ? 1 : 0);
        }
    }
    void addMissing(std::int64_t count) {
        block_.leading.insert(block_.leading.end(), static_cast<std::size_t>(count), kMissing);
        block_.derived.insert(block_.derived.end(), static_cast<std::size_t>(count), 0);
    }
    void set(std::size_t index, float value) { block_.leading[index] = quietNan(value); }

private:
    ExpectedBlock& block_;
};

ExpectedBlock expectType5(Input& file, bool analysed) {
    ExpectedBlock expected;
    std::string tag;
    std::string description;
    int dataType = 0;
    if (!file.word(tag) || !file.integer(dataType) || !file.word(description)) {
        return expected;
    }
    if (dataType != 5 || tag.size() > 11 || (tag != "diamond" && tag != "March")) {
        return expected;
    }
    int date[5];
    if (file.integers(date, 5) != 5) {
        return expected;
    }
    const std::int64_t declared = date[4];
    if (declared < 1 || declared > kMaxStations) {
        return expected;
    }
    const std::int64_t year = date[0] < 100 ? std::int64_t{date[0]} + 2000 : date[0];
    Builder out(expected);
    for (int i = 0; i < 6; ++i) {
        out.add(0);
    }
    out.set(1, static_cast<float>(year));
    out.set(2, static_cast<float>(date[1]));
    out.set(3, static_cast<float>(date[2]));
    out.set(4, static_cast<float>(date[3]));

    std::int64_t valueTotal = 5 * declared + 5;
    std::int64_t stationsRead = declared;
    for (std::int64_t k = 0; k < declared; ++k) {
        int id = 0;
        float position[3];
        int valueCount = 0;
        const bool headerRead = file.integer(id) && file.reals(position, 3) == 3 && file.integer(valueCount);
        if (!headerRead || valueCount < 0 || valueCount / 6 > kMaxLevels) {
            stationsRead = k;
            break;
        }
        valueTotal += valueCount;
        const int levels = valueCount / 6;
        out.add(static_cast<float>(id));
        out.add(position[0]);
        out.add(position[1]);
        out.add(position[2]);
        out.add(static_cast<float>(levels));
        for (int level = 0; level < levels; ++level) {
            if (file.atEnd()) {  // the levels the file no longer has are missing
                out.addMissing(6 * std::int64_t{levels - level});
                break;
            }
            float values[6] = {kMissing, kMissing, kMissing, kMissing, kMissing, kMissing};
            if (analysed) {
                int integers[6];
                const int converted = file.integers(integers, 6);
                for (int i = 0; i < converted; ++i) {
                    values[i] = static_cast<float>(integers[i]);
                }
            } else {
                file.reals(values, 6);
            }
            for (const float value : values) {
                out.add(value);
            }
        }
        if (analysed) {
            out.addDerived(levels >= 1);
        }
    }
    expected.null = false;
    expected.terminator = static_cast<std::int64_t>(expected.leading.size());
    if (analysed) {
        expected.size = valueTotal + std::int64_t{kDerived} * stationsRead + 2;
        out.set(0, static_cast<float>(expected.size - 1));
        expected.size += roundingSlack(expected.size - 1);
    } else {
        expected.size = valueTotal + 2;
        out.set(0, static_cast<float>(expected.size));
        expected.size += roundingSlack(expected.size);
    }
    out.set(5, static_cast<float>(stationsRead));
    return expected;
}

ExpectedBlock expectRozedu(Input& file) {
    ExpectedBlock expected;
    Builder out(expected);
    for (int i = 0; i < 6; ++i) {
        out.add(kMissing);
    }
    std::int64_t valueCount = 6;
    std::int64_t stations = 0;
    while (true) {
        int unused = 0;
        int id = 0;
        float latitude = 0;
        float longitude = 0;
        int levels = 0;
        const bool lineRead = file.integer(unused) && file.integer(id) && file.real(latitude) &&
                              file.real(longitude) && file.integer(levels);
        if (!lineRead || levels < 0 || levels > kMaxLevels) {
            break;
        }
        ++stations;
        valueCount += 5 + 6 * std::int64_t{levels} + kDerived;
        out.add(static_cast<float>(id));
        out.add(longitude);
        out.add(latitude);
        out.add(0);
        out.add(static_cast<float>(levels));
        for (int level = 0; level < levels; ++level) {
            if (file.atEnd()) {
                out.addMissing(6 * std::int64_t{levels - level});
                break;
            }
            float values[7] = {kMissing, kMissing, kMissing, kMissing, kMissing, kMissing, kMissing};
            file.reals(values, 7);
            out.add(values[0]);  // values[1] is not used
            for (int i = 2; i < 7; ++i) {
                out.add(values[i]);
            }
        }
        out.addDerived(levels >= 1);
    }
    expected.null = false;
    expected.terminator = static_cast<std::int64_t>(expected.leading.size());
    expected.size = valueCount + 1 + roundingSlack(valueCount);
    out.set(0, static_cast<float>(valueCount));
    out.set(5, static_cast<float>(stations));
    return expected;
}

ExpectedBlock expectSurface(Input& file) {
    ExpectedBlock expected;
    std::string word;
    int dataType = 0;
    int date[5];
    if (!file.word(word) || !file.integer(dataType) || !file.word(word) || file.integers(date, 5) != 5) {
        return expected;
    }
    const std::int64_t declared = date[4];
    if (declared < 0 || declared > kMaxStations) {
        return expected;
    }
    Builder out(expected);
    for (const int value : date) {
        out.add(static_cast<float>(value));
    }
    for (std::int64_t k = 0; k < declared; ++k) {
        float values[26];
        std::fill(values, values + 26, kMissing);
        if (file.reals(values, 24) < 24) {
            if (k == 0) {
                return ExpectedBlock{};
            }
            out.set(4, static_cast<float>(k));
            break;
        }
        if (values[22] == 1.0f && values[23] == 2.0f) {
            file.reals(values + 24, 2);
        }
        for (const float value : values) {
            out.add(value);
        }
    }
    expected.null = false;
    expected.size = 5 + 26 * declared;
    expected.terminator = -1;
    return expected;
}

std::string hexFloat(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char text[80];
    std::snprintf(text, sizeof text, "%a (%.9g) [0x%08x]", static_cast<double>(value), static_cast<double>(value),
                  static_cast<unsigned>(bits));
    return text;
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool sameBits(float a, float b) { return bitsOf(a) == bitsOf(b); }

// What the float at `index` is, for a mismatch report.
std::string describeIndex(Reader reader, const ExpectedBlock& expected, std::int64_t index) {
    std::string text = "element " + std::to_string(index);
    if (index == 0) {
        text += " (count)";
    } else if (index == 5 && reader != Reader::Surface) {
        text += " (stations read)";
    } else if (index == 4 && reader == Reader::Surface) {
        text += " (stations with values)";
    } else if (index == expected.terminator) {
        text += " (terminator)";
    } else if (index >= static_cast<std::int64_t>(expected.leading.size())) {
        text += " (after the data)";
    }
    return text;
}

}  // namespace

const char* nameOf(Reader reader) {
    switch (reader) {
        case Reader::Type5: return "readVelmorData5";
        case Reader::Rozedu: return "readRozeduData";
        case Reader::Type5Plain: return "readVelmor5Only";
        case Reader::Surface: return "ReadVelmorData1";
    }
    return "?";
}

float* callReader(Reader reader, const char* path, bool quiet) {
    int savedStdout = -1;
    if (quiet && (reader == Reader::Type5 || reader == Reader::Rozedu)) {
        std::fflush(stdout);
        savedStdout = ::dup(1);
        std::FILE* sink = std::fopen("/dev/null", "w");
        if (sink != nullptr) {
            ::dup2(::fileno(sink), 1);
            std::fclose(sink);
        }
    }
    float* block = nullptr;
    switch (reader) {
        case Reader::Type5: block = readVelmorData5(path); break;
        case Reader::Rozedu: block = readRozeduData(path); break;
        case Reader::Type5Plain: block = readVelmor5Only(path); break;
        case Reader::Surface: block = ReadVelmorData1(path); break;
    }
    if (savedStdout >= 0) {
        std::fflush(stdout);
        ::dup2(savedStdout, 1);
        ::close(savedStdout);
    }
    return block;
}

ExpectedBlock expectBlock(Reader reader, const char* path) {
    File file(path);
    if (file.get() == nullptr) {
        return ExpectedBlock{};
    }
    Input input(file.get());
    switch (reader) {
        case Reader::Type5: return expectType5(input, true);
        case Reader::Rozedu: return expectRozedu(input);
        case Reader::Type5Plain: return expectType5(input, false);
        case Reader::Surface: return expectSurface(input);
    }
    return ExpectedBlock{};
}

std::int64_t blockSizeFromHeader(Reader reader, const float* block) {
    switch (reader) {
        case Reader::Type5:
        case Reader::Rozedu: return static_cast<std::int64_t>(block[0]) + 1;
        case Reader::Type5Plain: return static_cast<std::int64_t>(block[0]);
        case Reader::Surface: return -1;
    }
    return -1;
}

std::string checkBlock(Reader reader, const float* block, const ExpectedBlock& expected) {
    if (expected.null) {
        return block == nullptr ? "" : std::string(nameOf(reader)) + " returned a block where NULL was due";
    }
    if (block == nullptr) {
        return std::string(nameOf(reader)) + " returned NULL where a block of " + std::to_string(expected.size) +
               " floats was due";
    }
    // Every float is read, derived values included, so that an address
    // checker sees the whole block.
    auto mismatch = [&](std::int64_t i, float due) {
        return std::string(nameOf(reader)) + ": " + describeIndex(reader, expected, i) + " is " +
               hexFloat(block[i]) + ", expected " + hexFloat(due) + " (block of " +
               std::to_string(expected.size) + " floats)";
    };
    std::uint32_t derivedBits = 0;
    const std::int64_t leading = std::min(static_cast<std::int64_t>(expected.leading.size()), expected.size);
    for (std::int64_t i = 0; i < leading; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (expected.derived[at] != 0) {
            derivedBits ^= bitsOf(block[i]);
            if (std::isnan(block[i]) && bitsOf(block[i]) != kQuietNanBits) {
                return mismatch(i, quietNan(block[i]));
            }
        } else if (!sameBits(expected.leading[at], block[i])) {
            return mismatch(i, expected.leading[at]);
        }
    }
    const std::uint32_t missingBits = bitsOf(kMissing);
    for (std::int64_t i = leading; i < expected.size; ++i) {
        if (bitsOf(block[i]) != missingBits) {
            return mismatch(i, kMissing);
        }
    }
    // A branch on the derived values, so that valgrind reports any of them
    // left uninitialised.
    if (derivedBits == 0x7fc00001u) {
        volatile int unlikely = 1;
        (void)unlikely;
    }
    // Element 0 is exact up to 2^24; beyond, it may round, and the block must
    // still hold at least as many floats as it says.
    const std::int64_t recorded = blockSizeFromHeader(reader, block);
    const bool exact = expected.size <= (std::int64_t{1} << 24);
    if (recorded >= 0 && (exact ? recorded != expected.size : recorded > expected.size)) {
        return std::string(nameOf(reader)) + ": element 0 gives a block of " + std::to_string(recorded) +
               " floats, the block has " + std::to_string(expected.size);
    }
    return "";
}

}  // namespace vivezeru5::model
