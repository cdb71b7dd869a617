#include "analysis/lifting_condensation_level.h"

#include "test_support.h"

namespace vivezeru5 {
namespace {

TEST(LiftingCondensationLevel, WorkedExamples) {
    struct Case {
        float t, td, p, pressure, temperature;  // temperature < -200: not checked
    };
    const Case cases[] = {
        {25, 20, 1000, 933.47f, 19.15f},     // one update
        {25, 25, 1000, 1000.0f, 25.0f},      // saturated: first test passes
        {20, 19.5f, 850, 850.0f, -999},      // depression below 0.5 K
        {30, -10, 1000, 558.10f, -16.87f},   // two updates
        {40, -60, 1000, 217.20f, -999},      // four updates
    };
    for (const Case& c : cases) {
        const float lcl = computeLclPressure(c.t, c.td, c.p);
        EXPECT_NEAR(lcl, c.pressure, 0.005f) << c.t << "/" << c.td << "/" << c.p;
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
