#include <string>

#include "test_support.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

using testing::Block;
using testing::captureStderr;
using testing::ScratchFile;

Block readSurface(const std::string& contents) {
    ScratchFile file(contents);
    return Block(ReadVelmorData1(file.path()));
}

// Station values 1 to 24 as 100·station + index, with values 23 and 24 as given.
std::string surfaceStation(int station, float value23, float value24) {
    std::string text;
    for (int i = 1; i <= 22; ++i) {
        text += std::to_string(100 * station + i) + " ";
    }
    char tail[64];
    std::snprintf(tail, sizeof tail, "%g %g\n", value23, value24);
    return text + tail;
}

const char* const kHeader = "diamond 1 surface_report 9 12 8 6 ";

TEST(ReadVelmorData1, OptionalPairRules) {
    struct Case {
        const char* name;
        std::string contents;
        float stations;
        float values25And26[2][2];  // per station
    };
    const float m = kMissingValue;
    const Case cases[] = {
        {"no pair", std::string(kHeader) + "2\n" + surfaceStation(0, 0, 0) + surfaceStation(1, 5, 5), 2,
         {{m, m}, {m, m}}},
        {"pair read", std::string(kHeader) + "2\n" + surfaceStation(0, 1, 2) + "77 88\n" + surfaceStation(1, 0, 0), 2,
         {{77, 88}, {m, m}}},
        {"1 and 3", std::string(kHeader) + "2\n" + surfaceStation(0, 1, 3) + surfaceStation(1, 0, 0), 2,
         {{m, m}, {m, m}}},
        {"2 and 1", std::string(kHeader) + "2\n" + surfaceStation(0, 2, 1) + surfaceStation(1, 0, 0), 2,
         {{m, m}, {m, m}}},
        {"0 and 2", std::string(kHeader) + "2\n" + surfaceStation(0, 0, 2) + surfaceStation(1, 0, 0), 2,
         {{m, m}, {m, m}}},
        {"ends after the trigger", std::string(kHeader) + "2\n" + surfaceStation(0, 0, 0) + surfaceStation(1, 1, 2), 2,
         {{m, m}, {m, m}}},
    };
    for (const Case& c : cases) {
        const Block block = readSurface(c.contents);
        ASSERT_TRUE(block) << c.name;
        const float* b = block.get();
        EXPECT_EQ(b[4], c.stations) << c.name;
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(b[5 + 26 * k], 100.0f * k + 1) << c.name;
            EXPECT_EQ(b[29 + 26 * k], c.values25And26[k][0]) << c.name << " station " << k;
            EXPECT_EQ(b[30 + 26 * k], c.values25And26[k][1]) << c.name << " station " << k;
        }
    }
}

TEST(ReadVelmorData1, HeaderValuesStoredAsRead) {
    const Block block = readSurface(std::string(kHeader) + "1\n" + surfaceStation(0, 0, 0));
    ASSERT_TRUE(block);
    const float expected[5] = {9, 12, 8, 6, 1};  // no century added to the year
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(block.get()[i], expected[i]) << i;
    }
}

TEST(ReadVelmorData1, ShortFiles) {
    // A third station cut short: two complete stations, the rest missing, the block full size.
    std::string contents = std::string(kHeader) + "3\n" + surfaceStation(0, 0, 0) + surfaceStation(1, 0, 0) + "1 2 3";
    const Block block = readSurface(contents);
    ASSERT_TRUE(block);
    const float* b = block.get();
    EXPECT_EQ(b[4], 2.0f);
    for (int i = 5 + 26 * 2; i < 83; ++i) {
        EXPECT_EQ(b[i], kMissingValue) << i;
    }
    // A third station one value short: still two stations.
    const Block oneShort = readSurface(std::string(kHeader) + "3\n" + surfaceStation(0, 0, 0) + surfaceStation(1, 0, 0) +
                                       surfaceStation(2, 0, 0).substr(0, surfaceStation(2, 0, 0).rfind(' ')));
    ASSERT_TRUE(oneShort);
    EXPECT_EQ(oneShort.get()[4], 2.0f);
    EXPECT_FALSE(readSurface(std::string(kHeader) + "3\n1 2 3"));  // first station short
    EXPECT_FALSE(readSurface(std::string(kHeader) + "1\n"));
}

TEST(ReadVelmorData1, HeaderCountRules) {
    const Block none = readSurface(std::string(kHeader) + "0\n");
    ASSERT_TRUE(none);
    EXPECT_EQ(none.get()[4], 0.0f);
    EXPECT_FALSE(readSurface(std::string(kHeader) + "-1\n" + surfaceStation(0, 0, 0)));
    EXPECT_FALSE(readSurface(std::string(kHeader) + "1000001\n" + surfaceStation(0, 0, 0)));
    EXPECT_FALSE(readSurface("diamond 1 surface 9 12 8 6\n"));  // seven values only
    // Any tag and description, of any length, and any data type.
    const std::string longWord(5000, 'w');
    EXPECT_TRUE(readSurface(longWord + " 5 " + longWord + " 26 1 1 0 1\n" + surfaceStation(0, 0, 0)));
}

TEST(ReadVelmorData1, UnopenablePathIsSilent) {
    float* block = reinterpret_cast<float*>(1);
    const std::string path = testing::missingPath();
    const std::string err = captureStderr([&] { block = ReadVelmorData1(path.c_str()); });
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(err, "");
}

}  // namespace
}  // namespace vivezeru5
