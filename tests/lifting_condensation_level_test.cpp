#include "analysis/lifting_condensation_level.h"

#include "test_support.h"

namespace vivezeru5 {
namespace {

TEST(LiftingCondensationLevel, WorkedExamples) {
    struct Case {
        float t, td, p, pressure, temperature;  // temperature < -200: not checked
        float exactPressure, exactTemperature;
    };
    const Case cases[] = {
        {25, 20, 1000, 933.47f, 19.15f, 0x1.d2bb9p+9f, 0x1.3255d2p+4f},     // one update
        {25, 25, 1000, 1000.0f, 25.0f, 1000.0f, 25.0f},                     // saturated: first test passes
        {20, 19.5f, 850, 850.0f, -999, 850.0f, 20.0f},                      // depression below 0.5 K
        {30, -10, 1000, 558.10f, -16.87f, 0x1.170d58p+9f, -0x1.0df96ap+4f},  // two updates
        {40, -60, 1000, 217.20f, -999, 0x1.b2687cp+7f, -0x1.1db1c6p+6f},    // four updates
    };
    for (const Case& c : cases) {
        const float lcl = computeLclPressure(c.t, c.td, c.p);
        EXPECT_NEAR(lcl, c.pressure, 0.005f) << c.t << "/" << c.td << "/" << c.p;
        EXPECT_TRUE(testing::sameFloat(c.exactPressure, lcl)) << c.t << "/" << c.td << "/" << c.p;
        EXPECT_TRUE(testing::sameFloat(c.exactTemperature, computeLclTemperature(c.t, c.p, lcl)));
        if (c.temperature > -200) {
            EXPECT_NEAR(computeLclTemperature(c.t, c.p, lcl), c.temperature, 0.005f);
        }
    }
}

TEST(LiftingCondensationLevel, SaturatedParcelReturnsItsOwnPressureExactly) {
    EXPECT_EQ(computeLclPressure(25, 25, 1000), 1000.0f);
    EXPECT_EQ(computeLclPressure(20, 19.5f, 850), 850.0f);
}

}  // namespace
}  // namespace vivezeru5
