#include <cstring>
#include <string>

#include "test_support.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

using testing::Block;
using testing::captureStderr;

Block readRozedu(const std::string& contents) { return testing::readContents(readRozeduData, contents); }

// A level group with recognisable values; `unused` is the second, dropped value.
std::string group(int k, int unused = 0) {
    return std::to_string(1000 - 50 * k) + ".0 " + std::to_string(unused) + " " +
           std::to_string(10 + 50 * k) + " " + std::to_string(20.5 - 6 * k) + " " +
           std::to_string(15.25 - 7 * k) + " 250 " + std::to_string(5 + k) + ".5\n";
}

std::string station(int n, int id, const char* lat, const char* lon, int levels, int unused = 0) {
    std::string text = std::to_string(n) + " " + std::to_string(id) + " " + lat + " " + lon + " " +
                       std::to_string(levels) + "\n";
    for (int k = 0; k < levels; ++k) {
        text += group(k, unused);
    }
    return text;
}

TEST(ReadRozeduData, CountsAndLayout) {
    struct Case {
        std::string contents;
        float elementZero, stations;
    };
    const Case cases[] = {
        {station(1, 501, "30", "120", 10), 90, 1},
        {station(1, 501, "30", "120", 10) + station(2, 502, "31", "121", 0), 114, 2},
        {"", 6, 0},
        {"garbage 1 2 3 4\n", 6, 0},
        // A negative or oversized level count ends the reading like a broken line.
        {station(1, 501, "30", "120", 2) + "2 502 31 121 -1\n", 6 + 5 + 12 + 19, 1},
        {station(1, 501, "30", "120", 2) + "2 502 31 121 1000001\n", 6 + 5 + 12 + 19, 1},
    };
    for (const Case& c : cases) {
        const Block block = readRozedu(c.contents);
        ASSERT_TRUE(block) << c.contents;
        const float* b = block.get();
        EXPECT_EQ(b[0], c.elementZero) << c.contents;
        EXPECT_EQ(b[5], c.stations) << c.contents;
        for (int slot = 1; slot <= 4; ++slot) {
            EXPECT_EQ(b[slot], kMissingValue) << "no date in this format";
        }
        EXPECT_EQ(b[static_cast<int>(c.elementZero)], kMissingValue) << "terminator";
    }
}

TEST(ReadRozeduData, StationFloatsAndLevels) {
    const Block block = readRozedu(station(1, 501, "30", "120", 10) + station(2, 502, "31", "121", 0));
    ASSERT_TRUE(block);
    const float* b = block.get();
    const float header[5] = {501, 120, 30, 0, 10};  // longitude before latitude; elevation 0
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(b[6 + i], header[i]) << i;
    }
    const float firstLevel[6] = {1000, 10, 20.5f, 15.25f, 250, 5.5f};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(b[11 + i], firstLevel[i]) << i;
    }
    const float* second = b + 6 + 5 + 60 + 19;
    EXPECT_EQ(second[0], 502.0f);
    EXPECT_EQ(second[4], 0.0f);
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(second[5 + i], 0.0f) << "a station without levels is not analysed";
    }
}

TEST(ReadRozeduData, UnusedValuesChangeNothing) {
    const Block a = readRozedu(station(1, 501, "30", "120", 10, 0));
    const Block b = readRozedu(station(77, 501, "30", "120", 10, 12345));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(0, std::memcmp(a.get(), b.get(), sizeof(float) * 91));
}

TEST(ReadRozeduData, StandardLevelsNeedExactPressures) {
    // Same profile written with "850" and "850.0"; a 700.5 hPa level is not 700.
    auto profile = [](const char* p850, const char* p700) {
        return std::string("1 9 30 120 4\n1000 0 10 20 15 250 5\n") + p850 + " 1 150 12 8 240 10\n" +
               p700 + " 2 310 4 -2 250 15\n500 3 580 -12 -30 260 20\n";
    };
    const Block integral = readRozedu(profile("850", "700"));
    const Block decimal = readRozedu(profile("850.0", "700.0"));
    const Block offset = readRozedu(profile("850.0", "700.5"));
    ASSERT_TRUE(integral && decimal && offset);
    const int kIndexSlot = 6 + 5 + 24 + 2;
    EXPECT_EQ(integral.get()[kIndexSlot], 26.0f);
    EXPECT_EQ(decimal.get()[kIndexSlot], 26.0f);
    EXPECT_NE(offset.get()[kIndexSlot], 26.0f);
}

TEST(ReadRozeduData, ShortLastStationKeepsItsDeclaredLevels) {
    const Block block = readRozedu(station(1, 501, "30", "120", 2) + "2 502 31 121 3\n" + group(0) + "925.0 1 77");
    ASSERT_TRUE(block);
    const float* b = block.get();
    EXPECT_EQ(b[5], 2.0f);
    const float* second = b + 6 + 5 + 12 + 19;
    EXPECT_EQ(second[4], 3.0f);
    EXPECT_EQ(second[5 + 6], 925.0f);
    EXPECT_EQ(second[5 + 7], 77.0f);
    for (int i = 8; i < 18; ++i) {
        EXPECT_EQ(second[5 + i], kMissingValue) << i;
    }
    EXPECT_EQ(b[static_cast<int>(b[0])], kMissingValue);
}

TEST(ReadRozeduData, UnopenablePathReportsOnStandardError) {
    float* block = reinterpret_cast<float*>(1);
    const std::string path = testing::missingPath();
    const std::string err = captureStderr([&] { block = readRozeduData(path.c_str()); });
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(err, "Cannot open map data file.\n");
}

}  // namespace
}  // namespace vivezeru5
