#include "analysis/mean_wind.h"

#include "test_support.h"

namespace vivezeru5 {
namespace {

using testing::OwnedStation;

SoundingLevel wind(float p, float t, float dir, float speed) {
    return SoundingLevel{p, 0, t, 0, dir, speed};
}

TEST(MeanWind, DensityWeightedExamples) {
    {
        OwnedStation station{wind(1000, 20, 90, 10), wind(500, -20, 90, 30)};
        computeMeanWind(*station);
        EXPECT_NEAR(station->meanWindU, -17.334f, 0.0005f);
        EXPECT_NEAR(station->meanWindV, 0.0f, 1e-5f);
        EXPECT_NEAR(station->meanWindSpeed, 17.334f, 0.0005f);
        EXPECT_NEAR(station->meanWindDirection, 90.0f, 1e-3f);
        EXPECT_TRUE(testing::sameFloat(-0x1.15571ap+4f, station->meanWindU));
        EXPECT_TRUE(testing::sameFloat(0x1.15571ap+4f, station->meanWindSpeed));
        EXPECT_TRUE(testing::sameFloat(90.0f, station->meanWindDirection));
    }
    {
        OwnedStation station{wind(1000, 20, 0, 10), wind(500, -20, 180, 10)};
        computeMeanWind(*station);
        EXPECT_NEAR(station->meanWindU, 0.0f, 1e-5f);
        EXPECT_NEAR(station->meanWindV, 2.666f, 0.0005f);
        EXPECT_NEAR(station->meanWindSpeed, 2.666f, 0.0005f);
        EXPECT_TRUE(testing::sameFloat(0x1.554724p+1f, station->meanWindV));
        EXPECT_TRUE(testing::sameFloat(0x1.554724p+1f, station->meanWindSpeed));
    }
}

TEST(MeanWind, UniformWindKeepsSpeedAndDirection) {
    struct Case {
        float dir, expectedDir;
    };
    for (const Case c : {Case{250, 250}, Case{0, 360}, Case{360, 360}, Case{45, 45}, Case{180, 180},
                         Case{22.5f, 22.5f}, Case{359.5f, 359.5f}, Case{400, 40}}) {
        OwnedStation station{wind(1000, 20, c.dir, 12), wind(850, 10, c.dir, 12), wind(500, -20, c.dir, 12)};
        computeMeanWind(*station);
        EXPECT_NEAR(station->meanWindSpeed, 12.0f, 1e-4f) << c.dir;
        EXPECT_NEAR(station->meanWindDirection, c.expectedDir, 1e-3f) << c.dir;
    }
}

TEST(MeanWind, CalmAndMissingTemperatures) {
    {
        OwnedStation station{wind(1000, 20, 90, 0), wind(500, -20, 180, 0)};
        computeMeanWind(*station);
        EXPECT_EQ(station->meanWindSpeed, 0.0f);
        EXPECT_EQ(station->meanWindDirection, 0.0f);
    }
    {
        OwnedStation station{wind(1000, kMissingValue, 90, 5), wind(500, kMissingValue, 180, 7)};
        station->meanWindU = 3;  // untouched when the weights do not sum positive
        computeMeanWind(*station);
        EXPECT_EQ(station->meanWindSpeed, 0.0f);
        EXPECT_EQ(station->meanWindDirection, 0.0f);
        EXPECT_EQ(station->meanWindU, 3.0f);
        EXPECT_EQ(station->meanWindV, 0.0f);
    }
}

TEST(MeanWind, DirectionsOf90And270TakeTheNegatedBranch) {
    // u = -10·sin(dir) is -10 or 10 exactly and v = √(100 - u²) is a zero, whose
    // sign the sum starting at +0 drops; the direction comes back exactly.
    struct Case {
        float dir, u;
    };
    for (const Case c : {Case{90, -10}, Case{270, 10}}) {
        OwnedStation station{wind(1000, 20, c.dir, 10)};
        computeMeanWind(*station);
        EXPECT_TRUE(testing::sameFloat(c.u, station->meanWindU)) << c.dir;
        EXPECT_TRUE(testing::sameFloat(0.0f, station->meanWindV)) << c.dir;
        EXPECT_TRUE(testing::sameFloat(10.0f, station->meanWindSpeed)) << c.dir;
        EXPECT_TRUE(testing::sameFloat(c.dir, station->meanWindDirection)) << c.dir;
    }
}

}  // namespace
}  // namespace vivezeru5
