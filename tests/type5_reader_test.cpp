#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

using testing::Block;
using testing::captureStderr;
using testing::captureStdout;
using testing::ScratchFile;

// A type-5 reader under test, with what sets it apart from the other one.
struct Type5Reader {
    const char* name;
    float* (*read)(const char*);
    int derivedPerStation;    // 19 when the reader analyses, else 0
    int elementZeroOverhead;  // element 0 = 5·declared + overhead + Σ value counts + derived·read
};
void PrintTo(const Type5Reader& reader, std::ostream* out) { *out << reader.name; }

const Type5Reader kAnalysing{"readVelmorData5", readVelmorData5, 19, 6};
const Type5Reader kPlain{"readVelmor5Only", readVelmor5Only, 0, 7};

Block readQuietly(const Type5Reader& reader, const std::string& contents) {
    return testing::readContents(reader.read, contents);
}

// A level group whose values are easy to recognise in the block.
std::string levelLine(int k) {
    return std::to_string(1000 - 50 * k) + " " + std::to_string(10 + 50 * k) + " " +
           std::to_string(20 - 6 * k) + " " + std::to_string(15 - 7 * k) + " 250 " +
           std::to_string(5 + k) + "\n";
}

std::string stationText(int id, int valueCount, int levels) {
    std::string text = std::to_string(id) + " 116.5 39.75 55 " + std::to_string(valueCount) + "\n";
    for (int k = 0; k < levels; ++k) {
        text += levelLine(k);
    }
    return text;
}

class BothType5Readers : public ::testing::TestWithParam<Type5Reader> {};

TEST_P(BothType5Readers, AcceptsExactlyTheTwoTagsAndDataType5) {
    const Type5Reader& reader = GetParam();
    struct Case {
        std::string firstLine;
        bool accepted;
    };
    const Case cases[] = {
        {"diamond 5 x", true},        {"March 5 x", true},         {"Diamond 5 x", false},
        {"DIAMOND 5 x", false},       {"diamonds 5 x", false},     {"march 5 x", false},
        {"Marchx 5 x", false},        {"diamond 4 x", false},      {"diamond five x", false},
        {"diamond 05 a_very_long_description_" + std::string(300, 'd'), true},
        {"xdiamond 5 x", false},      {"diamond 6 x", false},
    };
    for (const Case& c : cases) {
        const Block block = readQuietly(reader, c.firstLine + "\n26 1 2 3 1\n" + stationText(7, 6, 1));
        EXPECT_EQ(block != nullptr, c.accepted) << reader.name << ": " << c.firstLine;
    }
    // A first line cut short by the end of the file.
    EXPECT_FALSE(readQuietly(reader, "diamond 5"));
}

TEST_P(BothType5Readers, TwoDigitYearsGainACentury) {
    const Type5Reader& reader = GetParam();
    for (const auto& [written, stored] : {std::pair{9, 2009.0f}, std::pair{99, 2099.0f},
                                          std::pair{100, 100.0f}, std::pair{2026, 2026.0f},
                                          std::pair{-5, 1995.0f}}) {
        const Block block = readQuietly(
            reader, "diamond 5 x\n" + std::to_string(written) + " 7 14 12 1\n" + stationText(7, 6, 1));
        ASSERT_TRUE(block) << written;
        EXPECT_EQ(block.get()[1], stored) << written;
        EXPECT_EQ(block.get()[2], 7.0f);
        EXPECT_EQ(block.get()[3], 14.0f);
        EXPECT_EQ(block.get()[4], 12.0f);
    }
}

TEST_P(BothType5Readers, RejectedHeaders) {
    const Type5Reader& reader = GetParam();
    const std::string station = stationText(7, 6, 1);
    const std::string files[] = {
        "diamond 5 x\n26 1 2 3 0\n" + station,        // no stations declared
        "diamond 5 x\n26 1 2 3 -1\n" + station,       // negative station count
        "diamond 5 x\n26 1 2 3 1000001\n" + station,  // beyond the working limit
        "diamond 5 x\n26 1 2 3\n",                    // date line cut short by the end of file
        "diamond 5 x\n26 1 2 x 1\n" + station,        // date line that does not convert
        "",
    };
    for (const std::string& file : files) {
        EXPECT_FALSE(readQuietly(reader, file)) << file;
    }
}

TEST_P(BothType5Readers, UnopenablePathReportsOnStandardError) {
    const Type5Reader& reader = GetParam();
    float* block = reinterpret_cast<float*>(1);
    const std::string path = testing::missingPath();
    const std::string err = captureStderr([&] { block = reader.read(path.c_str()); });
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(err, "Cannot open map data file.\n");
}

TEST_P(BothType5Readers, ShortFileCountsEveryDeclaredStationInElementZero) {
    const Type5Reader& reader = GetParam();
    // Three stations declared, two present (value counts 12 and 18).
    const Block block =
        readQuietly(reader, "diamond 5 x\n26 1 2 3 3\n" + stationText(1, 12, 2) + stationText(2, 18, 3));
    ASSERT_TRUE(block);
    const float* b = block.get();
    EXPECT_EQ(b[5], 2.0f);
    const int written = 6 + (5 + 12 + reader.derivedPerStation) + (5 + 18 + reader.derivedPerStation);
    EXPECT_EQ(b[0], 5 * 3 + reader.elementZeroOverhead + 12 + 18 + reader.derivedPerStation * 2);
    EXPECT_EQ(b[written], kMissingValue);  // terminator right after the second station
    EXPECT_EQ(b[6], 1.0f);
    EXPECT_EQ(b[6 + 5 + 12 + reader.derivedPerStation], 2.0f);
    // The five floats of the missing station header are allocated and hold the missing value.
    const int allocated = static_cast<int>(b[0]) + (reader.derivedPerStation ? 1 : 0);
    for (int i = written; i < allocated; ++i) {
        EXPECT_EQ(b[i], kMissingValue) << i;
    }
}

TEST_P(BothType5Readers, FileEndingAfterTheDateLine) {
    const Type5Reader& reader = GetParam();
    const Block block = readQuietly(reader, "diamond 5 x\n26 1 2 3 4\n");
    ASSERT_TRUE(block);
    EXPECT_EQ(block.get()[5], 0.0f);
    EXPECT_EQ(block.get()[6], kMissingValue);
    EXPECT_EQ(block.get()[0], 5 * 4 + reader.elementZeroOverhead);
}

TEST_P(BothType5Readers, StationWithoutLevels) {
    const Type5Reader& reader = GetParam();
    const Block block = readQuietly(reader, "diamond 5 x\n26 1 2 3 2\n" + stationText(1, 0, 0) + stationText(2, 6, 1));
    ASSERT_TRUE(block);
    const float* b = block.get();
    EXPECT_EQ(b[5], 2.0f);
    EXPECT_EQ(b[10], 0.0f);  // level count 0
    for (int i = 0; i < reader.derivedPerStation; ++i) {
        EXPECT_EQ(b[11 + i], 0.0f) << i;
    }
    EXPECT_EQ(b[11 + reader.derivedPerStation], 2.0f);  // the next station follows at once
}

TEST_P(BothType5Readers, SurplusValuesBecomeTheNextHeader) {
    const Type5Reader& reader = GetParam();
    // A value count of 8: one level, and the two surplus values (11 and 1.5) are
    // the first two tokens of the next station header.
    const std::string text = "diamond 5 x\n26 1 2 3 2\n1 116.5 39.75 55 8\n" + levelLine(0) +
                             "11 1.5\n 2.5 3.5 6\n" + levelLine(0);
    const Block block = readQuietly(reader, text);
    ASSERT_TRUE(block);
    const float* b = block.get();
    EXPECT_EQ(b[0], 5 * 2 + reader.elementZeroOverhead + 8 + 6 + 2 * reader.derivedPerStation);
    EXPECT_EQ(b[10], 1.0f);
    const int second = 6 + 5 + 6 + reader.derivedPerStation;
    EXPECT_EQ(b[second], 11.0f);
    EXPECT_EQ(b[second + 1], 1.5f);
    EXPECT_EQ(b[second + 2], 2.5f);
    EXPECT_EQ(b[second + 3], 3.5f);
    EXPECT_EQ(b[second + 4], 1.0f);
    const int terminator = second + 5 + 6 + reader.derivedPerStation;
    EXPECT_EQ(b[terminator], kMissingValue);
    EXPECT_EQ(b[terminator + 1], kMissingValue);  // the two counted surplus floats
}

TEST_P(BothType5Readers, MalformedStationEndsTheReading) {
    const Type5Reader& reader = GetParam();
    for (const char* header : {"2 116.5 39.75 55 -6\n", "2 116.5 39.75 55 -1\n", "2 116.5 39.75 55 6000006\n",
                               "2 116.5 x 55 6\n"}) {
        const Block block =
            readQuietly(reader, "diamond 5 x\n26 1 2 3 3\n" + stationText(1, 6, 1) + header + levelLine(0));
        ASSERT_TRUE(block) << header;
        const float* b = block.get();
        EXPECT_EQ(b[5], 1.0f) << header;
        EXPECT_EQ(b[0], 5 * 3 + reader.elementZeroOverhead + 6 + reader.derivedPerStation) << header;
        EXPECT_EQ(b[6 + 5 + 6 + reader.derivedPerStation], kMissingValue) << header;
    }
}

TEST_P(BothType5Readers, ValuesTheFileDoesNotSupplyAreMissing) {
    const Type5Reader& reader = GetParam();
    // Two levels announced; the file ends inside the first group.
    const Block block = readQuietly(reader, "diamond 5 x\n26 1 2 3 1\n1 116.5 39.75 55 12\n1000 10 20");
    ASSERT_TRUE(block);
    const float* b = block.get();
    EXPECT_EQ(b[5], 1.0f);
    const float expected[12] = {1000, 10, 20, -9999, -9999, -9999, -9999, -9999, -9999, -9999, -9999, -9999};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(b[11 + i], expected[i]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Type5, BothType5Readers, ::testing::Values(kAnalysing, kPlain),
                         [](const ::testing::TestParamInfo<Type5Reader>& param) {
                             return std::string(param.param.name);
                         });

TEST(ReadVelmor5Only, KeepsDecimalFractionsAndAllocatesElementZeroFloats) {
    const Block block = readQuietly(kPlain, "March 5 x\n26 1 2 3 1\n7 1 2 3 12\n"
                                            "1000 10.5 20.25 -12.5 250 2.5\n900 99 15 -14 260 3\n");
    ASSERT_TRUE(block);
    const float* b = block.get();
    EXPECT_EQ(b[0], 24.0f);
    EXPECT_EQ(b[12], 10.5f);
    EXPECT_EQ(b[13], 20.25f);
    EXPECT_EQ(b[14], -12.5f);
    EXPECT_EQ(b[16], 2.5f);
    EXPECT_EQ(b[23], kMissingValue);
}

TEST(ReadVelmor5Only, RunsNoAnalysisAndPrintsNothing) {
    ScratchFile file(testing::readExample("sounding_type5.txt"));
    Block block;
    const std::string out = captureStdout([&] { block.reset(readVelmor5Only(file.path())); });
    ASSERT_TRUE(block);
    EXPECT_EQ(out, "");
    EXPECT_EQ(block.get()[0], 5.0f * 3 + 7 + 90 + 42 + 36);
}

TEST(ReadVelmorData5, IntegerLevelsTruncateNothingButStopAtAFraction) {
    // "%d" stops at the decimal point: ".5" then fails the next conversion, and
    // the rest of the station's values are missing.
    const Block block = readQuietly(kAnalysing, "diamond 5 x\n26 1 2 3 1\n7 1 2 3 12\n1000 10.5 20 10 250 5\n");
    ASSERT_TRUE(block);
    const float* b = block.get();
    EXPECT_EQ(b[11], 1000.0f);
    EXPECT_EQ(b[12], 10.0f);
    for (int i = 13; i < 23; ++i) {
        EXPECT_EQ(b[i], kMissingValue) << i;
    }
}

TEST(ReadVelmorData5, PacksTheAnalysisOfTheExampleAndPrintsItsProgress) {
    ScratchFile file(testing::readExample("sounding_type5.txt"));
    Block block;
    const std::string out = captureStdout([&] { block.reset(readVelmorData5(file.path())); });
    ASSERT_TRUE(block);
    // Only the first station reaches a level of free convection.
    EXPECT_EQ(out, "New Method ... NegEngBLFC end\nNew Method ... EL end\n");
    const float* b = block.get();
    EXPECT_EQ(b[0], 246.0f);
    EXPECT_EQ(b[5], 3.0f);
    EXPECT_EQ(b[246], kMissingValue);
    // The first station's derived values, in block order.
    const float* derived = b + 6 + 5 + 90;
    struct Slot {
        int index;
        float value;
        float tolerance;
    };
    const Slot slots[] = {
        {0, 440.0f, 0.005f},    {1, 600.0f, 0.005f},   {2, 36.0f, 0},        {3, 51.0f, 0},
        {4, 405.21f, 0.005f},   {5, 11.72f, 0.005f},   {6, 920.67f, 0.005f}, {7, 20.92f, 0.005f},
        {8, 80.94f, 0.005f},    {9, 246.38f, 0.005f},  {10, 12.63f, 0.005f}, {11, 15.46f, 0.005f},
        {12, 853.0f, 0},        {13, 18.18f, 0.005f},  {14, 145.98f, 0.005f}, {15, 198.0f, 0},
        {16, 1864.44f, 0.005f}, {17, -22.38f, 0.005f}, {18, 23.38f, 0.005f},
    };
    for (const Slot& slot : slots) {
        EXPECT_NEAR(derived[slot.index], slot.value, slot.tolerance) << "slot " << slot.index + 1;
    }
}

TEST(ReadVelmorData5, SoundingWithoutStandardLevelsStillAnalyses) {
    const Block block = readQuietly(kAnalysing, "diamond 5 x\n26 1 2 3 1\n7 1 2 3 18\n"
                                                "1000 10 20 15 250 5\n900 100 15 10 260 6\n600 440 5 0 270 8\n");
    ASSERT_TRUE(block);
    const float* derived = block.get() + 6 + 5 + 18;
    EXPECT_EQ(derived[2], -9999.0f);                 // K index
    EXPECT_EQ(derived[3], 0.0f);                     // total totals
    EXPECT_NEAR(derived[4], -58284.17f, 0.005f);     // SWEAT
}

}  // namespace
}  // namespace vivezeru5
