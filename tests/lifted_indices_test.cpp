#include "analysis/lifted_indices.h"

#include "test_support.h"

namespace vivezeru5 {
namespace {

TEST(SaturationVaporPressure, WaterAndIceInCelsiusOrKelvin) {
    struct Case {
        float argument, expected, tolerance;
    };
    const Case cases[] = {
        {20, 23.37f, 0.005f},    {293.16f, 23.37f, 0.005f},  // over water
        {-20, 1.028f, 0.0005f},  {253.16f, 1.028f, 0.0005f},  // over ice
        {120, 2070.2f, 0.05f},                                // 120 itself is °C
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(saturationVaporPressure(c.argument), c.expected, c.tolerance) << c.argument;
    }
    // 120.5 is kelvin: far below freezing, a tiny vapour pressure.
    EXPECT_LT(saturationVaporPressure(120.5f), 1e-6f);
}

TEST(SaturationVaporPressure, ConstantsSwitchAt263K) {
    const double t263 = static_cast<double>(263.0f) - 273.16f;
    const float water263 = static_cast<float>(6.11 * std::pow(10.0, 7.63f * t263 / (t263 + 241.9f)));
    EXPECT_TRUE(testing::sameFloat(water263, saturationVaporPressure(263.0f)));
    const double t2629 = static_cast<float>(static_cast<double>(262.9f) - 273.16f);
    const float ice2629 = static_cast<float>(6.11 * std::pow(10.0, 9.5f * t2629 / (t2629 + 265.5f)));
    EXPECT_TRUE(testing::sameFloat(ice2629, saturationVaporPressure(262.9f)));
}

TEST(LiftedIndex, WorkedExamples) {
    EXPECT_NEAR(computeLiftedIndex(20, 25, 1000, -10), 17.43f, 0.005f);   // moist branch
    EXPECT_NEAR(computeLiftedIndex(-30, 25, 1000, -10), 18.62f, 0.005f);  // dry branch
    EXPECT_NEAR(computeShowalter(15, 20, 850, -10), 8.77f, 0.005f);
}

TEST(LiftedIndex, DegenerateInputsGiveZero) {
    EXPECT_EQ(computeLiftedIndex(20, 25, 0, -10), 0.0f);
    EXPECT_EQ(computeLiftedIndex(20, -273.16f, 1000, -10), 0.0f);
    EXPECT_EQ(computeLiftedIndex(-9999, 25, 1000, -10), 0.0f);
}

TEST(Showalter, HasNoGuards) {
    EXPECT_NE(computeShowalter(-9999, 25, 1000, -10), 0.0f);
}

}  // namespace
}  // namespace vivezeru5
