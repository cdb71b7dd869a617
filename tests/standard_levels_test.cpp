#include "analysis/standard_levels.h"

#include "test_support.h"

namespace vivezeru5 {
namespace {

using testing::OwnedStation;

SoundingLevel level(float p, float h, float t, float td, float dir = 0, float speed = 0) {
    return SoundingLevel{p, h, t, td, dir, speed};
}

TEST(ComputeSweat, WorkedExamples) {
    struct Case {
        float td850, tt, speed850, speed500, dir850, dir500, expected, tolerance, exact;
    };
    const Case cases[] = {
        {8, 44, 10, 20, 200, 250, 292.63f, 0.005f, 0x1.24a14cp+8f},   // tt raised to 49, s = sin(0.85)
        {8, 44, 10, 20, 100, 250, 173.72f, 0.005f, 0x1.5b70a4p+7f},   // 850 hPa direction outside 130..250
        {8, 44, 7, 20, 200, 250, 162.062f, 0.0005f, 0x1.441fbep+7f},  // 850 hPa speed 13.601 kn, below 15
        {8, 52, 10, 10, 200, 250, 214.29f, 0.005f, 0x1.ac947ap+7f},   // equal speeds: shear term 0
        {-3, 49, 10, 20, 100, 250, 77.72f, 0.005f, 0x1.36e148p+6f},   // negative dew point counts 0
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(testing::sameFloat(
            c.exact, computeSweat(c.td850, c.tt, c.speed850, c.speed500, c.dir850, c.dir500)));
        EXPECT_NEAR(computeSweat(c.td850, c.tt, c.speed850, c.speed500, c.dir850, c.dir500),
                    c.expected, c.tolerance)
            << c.td850 << " " << c.tt << " " << c.speed850 << " " << c.speed500 << " " << c.dir850
            << " " << c.dir500;
    }
}

TEST(ComputeSweat, DirectionWindowsIncludeTheirBounds) {
    // With the shear term the result exceeds the one without it by 125·(s + 0.2) > 0.
    const float without = computeSweat(8, 44, 10, 20, 100, 250);
    for (const auto& [dir850, dir500] : {std::pair{130.f, 250.f}, std::pair{250.f, 310.f},
                                         std::pair{200.f, 210.f}, std::pair{200.f, 310.f}}) {
        EXPECT_NE(computeSweat(8, 44, 10, 20, dir850, dir500), without) << dir850 << " " << dir500;
    }
    for (const auto& [dir850, dir500] : {std::pair{129.9f, 250.f}, std::pair{250.1f, 300.f},
                                         std::pair{200.f, 209.9f}, std::pair{200.f, 310.1f}}) {
        EXPECT_NEAR(computeSweat(8, 44, 10, 20, dir850, dir500), without, 1e-3) << dir850 << " " << dir500;
    }
}

TEST(AnalyseStandardLevels, KIndexAndTotalTotals) {
    OwnedStation station{level(1000, 10, 20, 15), level(850, 150, 12, 8), level(700, 310, 4, -2),
                         level(500, 580, -12, -30)};
    const StandardLevelValues values = analyseStandardLevels(*station);
    EXPECT_EQ(station->kIndex, 26.0f);
    EXPECT_EQ(station->totalTotals, 44.0f);
    EXPECT_EQ(values.T850, 12.0f);
    EXPECT_EQ(values.Td700, -2.0f);
    EXPECT_EQ(values.T500, -12.0f);
}

TEST(AnalyseStandardLevels, NoIndicesAtOrBelow900hPa) {
    OwnedStation station{level(900, 10, 20, 15), level(850, 150, 12, 8), level(700, 310, 4, -2),
                         level(600, 440, -4, -20), level(500, 580, -12, -30)};
    analyseStandardLevels(*station);
    EXPECT_EQ(station->kIndex, 0.0f);
    EXPECT_EQ(station->totalTotals, 0.0f);
    EXPECT_EQ(station->sweatIndex, 0.0f);
    EXPECT_NE(station->freezingHeight, 0.0f);
}

TEST(AnalyseStandardLevels, MissingStandardLevelsEnterAsNumbers) {
    OwnedStation station{level(1000, 10, 20, 15), level(900, 100, 15, 10), level(600, 440, 5, 0)};
    const StandardLevelValues values = analyseStandardLevels(*station);
    EXPECT_EQ(values.T850, kMissingValue);
    EXPECT_EQ(station->kIndex, -9999.0f);
    EXPECT_EQ(station->totalTotals, 0.0f);
    EXPECT_NEAR(station->sweatIndex, -58284.17f, 0.005f);
    EXPECT_TRUE(testing::sameFloat(-0x1.c75858p+15f, station->sweatIndex));
}

TEST(AnalyseStandardLevels, SurfaceIsNeverAStandardLevelAndLaterLevelWins) {
    OwnedStation station{level(850, 10, 20, 15), level(500, 580, -12, -30), level(500, 590, -14, -30)};
    const StandardLevelValues values = analyseStandardLevels(*station);
    EXPECT_EQ(values.T850, kMissingValue);
    EXPECT_EQ(values.T500, -14.0f);
}

TEST(AnalyseStandardLevels, FreezingLevelInterpolation) {
    struct Case {
        SoundingLevel below, above;
        float height, pressure, pressureNear;
    };
    const Case cases[] = {
        // 340 dam and 664.94 hPa, as worked by hand.
        {level(700, 300, 2, 0), level(600, 420, -4, -10), 340.0f, 0x1.4c7852p+9f, 664.94f},
        // (724·-1 - 791·3) / -4 = 774.25 dam; ln(p/1000) = -0.8953..., whose
        // exponential taken in double and rounded gives 408.4766845703125
        // (0x43CC3D04); the single-precision exponential gives one unit more.
        {level(435, 724, 3, 0), level(400, 791, -1, -5), 774.25f, 0x1.987a08p+8f, 408.48f},
        // 470 / 3 dam; 1000 times the rounded exponential, rounded again, is
        // 843.28040 (1000 times the unrounded one would round to 843.28033).
        {level(850, 150, 1, -1), level(830, 170, -2, -4), 0x1.395556p+7f, 0x1.a5a3e4p+9f, 843.2804f},
    };
    for (const Case& c : cases) {
        OwnedStation station{level(1000, 10, 20, 15), c.below, c.above};
        analyseStandardLevels(*station);
        EXPECT_TRUE(testing::sameFloat(c.height, station->freezingHeight));
        EXPECT_TRUE(testing::sameFloat(c.pressure, station->freezingPressure));
        EXPECT_NEAR(station->freezingPressure, c.pressureNear, 0.005f);
    }
}

TEST(AnalyseStandardLevels, FreezingLevelEdgeCases) {
    struct Case {
        std::vector<SoundingLevel> levels;
        float height, pressure;
    };
    const Case cases[] = {
        // A surface at 0 °C is the freezing level when a second level exists.
        {{level(1000, 10, 0, -2), level(900, 100, -5, -8)}, 10, 1000},
        // A single level keeps both fields at 0, whatever its temperature.
        {{level(1000, 10, -5, -8)}, 0, 0},
        // No level at or below 0 °C above a warm surface.
        {{level(1000, 10, 20, 15), level(900, 100, 15, 10)}, 0, 0},
        // A missing temperature counts as below freezing.
        // By hand: (10·-9999 - 100·20) / (-9999 - 20) = 10.17966.
        {{level(1000, 10, 20, 15), level(900, 100, kMissingValue, 10)}, 10.17966f, -1},
    };
    for (const Case& c : cases) {
        OwnedStation station(c.levels);
        analyseStandardLevels(*station);
        EXPECT_NEAR(station->freezingHeight, c.height, 1e-3);
        if (c.pressure >= 0) {
            EXPECT_EQ(station->freezingPressure, c.pressure);
        }
    }
}

TEST(AnalyseStandardLevels, StandardPickIgnoresFreezingSearch) {
    OwnedStation station{level(1000, 10, 2, 0), level(925, 70, -1, -3), level(850, 150, -3, -5),
                         level(700, 310, -10, -12), level(500, 580, -25, -30)};
    const StandardLevelValues values = analyseStandardLevels(*station);
    EXPECT_EQ(values.T850, -3.0f);
    EXPECT_EQ(values.T700, -10.0f);
    EXPECT_EQ(values.T500, -25.0f);
}

}  // namespace
}  // namespace vivezeru5
