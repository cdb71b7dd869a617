// The blocks of the edge-sounding corpus (tests/golden/data), compared bit for
// bit with the checked-in expectations, progress lines included. Each golden
// line is "INDEX HEXFLOAT DECIMAL WHAT"; only the first two are compared.
// Regenerate corpus and expectations with tests/golden/regenerate.sh.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

#include "readers/block_packing.h"
#include "test_support.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

const char* const kDerivedNames[kDerivedValues] = {
    "freezingHeight", "freezingPressure", "kIndex",     "totalTotals",    "sweatIndex",
    "showalterIndex", "lclPressure",      "lclTemperature", "lclHeight",  "meanWindDirection",
    "meanWindSpeed",  "liftedIndex",      "lfcPressure", "lfcTemperature", "lfcHeight",
    "elPressure",     "cape",             "cin",        "bulkRichardson"};

struct GoldenCase {
    const char* corpus;  // file name under tests/golden/data, without ".txt"
    float* (*reader)(const char*);
};

void PrintTo(const GoldenCase& row, std::ostream* out) { *out << row.corpus; }

// What each element of an analysed sounding block holds, for the golden file's reader.
std::vector<std::string> describeBlock(const float* block) {
    const auto size = static_cast<std::size_t>(block[0]) + 1;
    std::vector<std::string> what(size, "after the terminator");
    for (std::size_t i = 0; i < 6 && i < size; ++i) {
        what[i] = "header";
    }
    std::size_t at = 6;
    for (int station = 0; station < static_cast<int>(block[5]) && at + 5 <= size; ++station) {
        const std::string name = "station " + std::to_string(station + 1) + " ";
        const auto levels = static_cast<std::size_t>(block[at + 4]);
        for (std::size_t i = 0; i < 5; ++i) {
            what[at++] = name + "header";
        }
        for (std::size_t i = 0; i < levels * 6 && at < size; ++i) {
            what[at++] = name + "level " + std::to_string(i / 6);
        }
        for (std::size_t i = 0; i < kDerivedValues && at < size; ++i) {
            what[at++] = name + kDerivedNames[i];
        }
    }
    if (at < size) {
        what[at] = "terminator";
    }
    return what;
}

// The float's exact value as a hexadecimal float with six mantissa digits,
// spelled the same by every C library ("0x1.bc0000p+7", "-0x0p+0", "nan").
std::string exactHex(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const char* sign = (bits >> 31) != 0 ? "-" : "";
    const int exponent = static_cast<int>((bits >> 23) & 0xff);
    const std::uint32_t mantissa = (bits & 0x7fffff) << 1;
    char text[32];
    if (exponent == 0xff) {
        std::snprintf(text, sizeof text, "%s%s", sign, mantissa != 0 ? "nan" : "inf");
    } else if (exponent == 0 && mantissa == 0) {
        std::snprintf(text, sizeof text, "%s0x0p+0", sign);
    } else {
        std::snprintf(text, sizeof text, "%s0x%d.%06xp%+d", sign, exponent == 0 ? 0 : 1,
                      static_cast<unsigned>(mantissa), exponent == 0 ? -126 : exponent - 127);
    }
    return text;
}

std::string goldenText(const float* block, const std::string& progress) {
    std::ostringstream text;
    std::istringstream lines(progress);
    for (std::string line; std::getline(lines, line);) {
        text << "stdout " << line << "\n";
    }
    const std::vector<std::string> what = describeBlock(block);
    char decimal[32];
    for (std::size_t i = 0; i < what.size(); ++i) {
        std::snprintf(decimal, sizeof decimal, "%.9g", block[i]);
        text << i << " " << exactHex(block[i]) << " " << decimal << " " << what[i] << "\n";
    }
    return text.str();
}

// "INDEX HEXFLOAT" of a block line, or the whole of a progress line.
std::string comparedPart(const std::string& line) {
    if (line.rfind("stdout ", 0) == 0) {
        return line;
    }
    std::istringstream fields(line);
    std::string index, hex;
    fields >> index >> hex;
    return index + " " + hex;
}

class GoldenBlocks : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenBlocks, MatchBitForBit) {
    const std::string base = std::string(VIVEZERU5_GOLDEN_DIR) + "/data/" + GetParam().corpus;
    float* block = nullptr;
    const std::string progress =
        testing::captureStdout([&] { block = GetParam().reader((base + ".txt").c_str()); });
    ASSERT_NE(block, nullptr);
    const std::string actual = goldenText(block, progress);
    std::free(block);
    if (std::getenv("VIVEZERU5_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(base + ".golden", std::ios::binary) << actual;
        return;
    }
    std::ifstream expectedFile(base + ".golden", std::ios::binary);
    ASSERT_TRUE(expectedFile) << base << ".golden is missing";
    std::istringstream actualLines(actual);
    std::string expected, got;
    int mismatches = 0;
    while (std::getline(expectedFile, expected)) {
        if (!std::getline(actualLines, got)) {
            got = "(nothing)";
        }
        if (comparedPart(expected) != comparedPart(got) && ++mismatches <= 20) {
            ADD_FAILURE() << "expected " << expected << "\n     got " << got;
        }
    }
    if (std::getline(actualLines, got)) {
        ADD_FAILURE() << "more than expected, from: " << got;
    }
    EXPECT_EQ(mismatches, 0);
}

const GoldenCase kCorpus[] = {
    {"freezing.type5", readVelmorData5},        {"freezing.rozedu", readRozeduData},
    {"standard_levels.type5", readVelmorData5}, {"standard_levels.rozedu", readRozeduData},
    {"energy.type5", readVelmorData5},          {"energy.rozedu", readRozeduData},
    {"heights.type5", readVelmorData5},         {"heights.rozedu", readRozeduData},
    {"counts.type5", readVelmorData5},          {"counts.rozedu", readRozeduData},
    {"winds.type5", readVelmorData5},           {"winds.rozedu", readRozeduData},
    {"scans.type5", readVelmorData5},           {"scans.rozedu", readRozeduData},
    {"decimals.rozedu", readRozeduData},        {"value_counts.type5", readVelmorData5},
};

INSTANTIATE_TEST_SUITE_P(EdgeSoundings, GoldenBlocks, ::testing::ValuesIn(kCorpus),
                         [](const auto& row) {
                             std::string name = row.param.corpus;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

}  // namespace
}  // namespace vivezeru5
