#include "analysis/lifted_indices.h"

#include "test_support.h"

namespace vivezeru5 {
namespace {

TEST(SaturationVaporPressure, WaterAndIceInCelsiusOrKelvin) {
    struct Case {
        float argument, expected, tolerance, exact;
    };
    const Case cases[] = {
        {20, 23.37f, 0.005f, 0x1.75f606p+4f},     {293.16f, 23.37f, 0.005f, 0x1.75f606p+4f},  // over water
        {-20, 1.028f, 0.0005f, 0x1.073d36p+0f},   {253.16f, 1.028f, 0.0005f, 0x1.073d36p+0f},  // over ice
        {120, 2070.2f, 0.05f, 0x1.02c7ep+11f},                                                  // 120 itself is °C
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(saturationVaporPressure(c.argument), c.expected, c.tolerance) << c.argument;
        EXPECT_TRUE(testing::sameFloat(c.exact, saturationVaporPressure(c.argument))) << c.argument;
    }
    // 120.5 is kelvin: far below freezing, a tiny vapour pressure.
    EXPECT_LT(saturationVaporPressure(120.5f), 1e-6f);
}

TEST(SaturationVaporPressure, ConstantsSwitchAt263K) {
    // By hand: 263 K is -10.16 °C, over water 6.11·10^(7.63·-10.16 / 231.74) = 2.8283 hPa;
    // 262.9 K is -10.26 °C, over ice 6.11·10^(9.5·-10.26 / 255.24) = 2.5361 hPa.
    EXPECT_NEAR(saturationVaporPressure(263.0f), 2.8283f, 0.0005f);
    EXPECT_TRUE(testing::sameFloat(0x1.6a0598p+1f, saturationVaporPressure(263.0f)));
    EXPECT_NEAR(saturationVaporPressure(262.9f), 2.5361f, 0.0005f);
    EXPECT_TRUE(testing::sameFloat(0x1.449ea8p+1f, saturationVaporPressure(262.9f)));
}

TEST(LiftedIndex, WorkedExamples) {
    EXPECT_NEAR(computeLiftedIndex(20, 25, 1000, -10), 17.43f, 0.005f);   // moist branch
    EXPECT_NEAR(computeLiftedIndex(-30, 25, 1000, -10), 18.62f, 0.005f);  // dry branch
    EXPECT_NEAR(computeShowalter(15, 20, 850, -10), 8.77f, 0.005f);
    EXPECT_TRUE(testing::sameFloat(0x1.16d5a4p+4f, computeLiftedIndex(20, 25, 1000, -10)));
    EXPECT_TRUE(testing::sameFloat(0x1.29e03cp+4f, computeLiftedIndex(-30, 25, 1000, -10)));
    EXPECT_TRUE(testing::sameFloat(0x1.18c69p+3f, computeShowalter(15, 20, 850, -10)));
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
