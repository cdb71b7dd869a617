#include "analysis/parcel_energy.h"

#include <array>

#include "analysis/moist_adiabat.h"
#include "test_support.h"

namespace vivezeru5 {
namespace {

using testing::captureStdout;
using testing::OwnedStation;
using testing::pht;

const char* const kBothLines = "New Method ... NegEngBLFC end\nNew Method ... EL end\n";

std::vector<SoundingLevel> workedSounding() {
    return {pht(1000, 10, 28.0f),  pht(950, 54, 24.5f),   pht(925, 77, 22.8f),  pht(900, 100, 21.0f),
            pht(850, 149, 18.2f),  pht(800, 200, 15.0f),  pht(700, 312, 8.0f),  pht(600, 440, 0.0f),
            pht(500, 587, -8.5f),  pht(400, 757, -19.0f), pht(300, 965, -33.0f), pht(250, 1090, -42.0f),
            pht(200, 1240, -52.5f), pht(150, 1425, -60.0f), pht(100, 1660, -66.0f)};
}

std::vector<SoundingLevel> stableSounding() {
    return {pht(1000, 10, 20.0f), pht(950, 54, 17.5f),  pht(925, 76, 16.5f),   pht(900, 99, 16.0f),
            pht(850, 147, 15.0f), pht(800, 198, 12.0f), pht(700, 310, 5.0f),   pht(600, 440, -2.0f),
            pht(500, 588, -10.0f), pht(400, 760, -20.0f), pht(300, 968, -33.0f), pht(200, 1244, -52.0f),
            pht(100, 1664, -62.0f)};
}

struct EnergyInputs {
    float lclPressure, lclTemperature, meanWindU, meanWindV;
};

std::string runParcelEnergy(SoundingStation& station, const EnergyInputs& in) {
    station.lclPressure = in.lclPressure;
    station.lclTemperature = in.lclTemperature;
    station.meanWindU = in.meanWindU;
    station.meanWindV = in.meanWindV;
    return captureStdout([&station] { computeParcelEnergy(station); });
}

// The eight outputs bit for bit, in the order of the fields below.
void expectExactly(const SoundingStation& station, const std::array<float, 8>& expected) {
    const float actual[] = {station.lclHeight,  station.lfcPressure, station.lfcHeight, station.lfcTemperature,
                            station.elPressure, station.cape,        station.cin,       station.bulkRichardson};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(testing::sameFloat(expected[i], actual[i])) << "output " << i;
    }
}

TEST(ParcelEnergy, WorkedSounding) {
    OwnedStation station(workedSounding());
    const std::string out = runParcelEnergy(*station, {907.96844f, 19.741547f, 9.710497f, -5.6214685f});
    EXPECT_EQ(out, kBothLines);
    EXPECT_NEAR(station->lclHeight, 92.60f, 0.005f);
    EXPECT_EQ(station->lfcPressure, 809.0f);
    EXPECT_NEAR(station->lfcHeight, 190.59f, 0.005f);
    EXPECT_NEAR(station->lfcTemperature, 15.59f, 0.005f);
    EXPECT_EQ(station->elPressure, 214.0f);
    EXPECT_NEAR(station->cape, 1338.97f, 0.005f);
    EXPECT_NEAR(station->cin, -51.65f, 0.005f);
    EXPECT_NEAR(station->bulkRichardson, 21.27f, 0.005f);
    expectExactly(*station, {0x1.7266ccp+6f, 809, 0x1.7d2d8p+7f, 0x1.f2e566p+3f, 214, 0x1.4ebe1ap+10f,
                             -0x1.9d2a66p+5f, 0x1.54572ap+4f});
}

TEST(ParcelEnergy, LclBetweenSurfaceAndFirstLevel) {
    OwnedStation station(workedSounding());
    const std::string out = runParcelEnergy(*station, {973.28540f, 25.660555f, 9.710497f, -5.6214685f});
    EXPECT_EQ(out, kBothLines);
    EXPECT_NEAR(station->lclHeight, 33.23f, 0.005f);
    EXPECT_EQ(station->lfcPressure, 959.0f);
    EXPECT_NEAR(station->lfcHeight, 45.91f, 0.005f);
    EXPECT_NEAR(station->lfcTemperature, 25.14f, 0.005f);
    EXPECT_EQ(station->elPressure, 154.0f);
    EXPECT_NEAR(station->cape, 4497.50f, 0.005f);
    EXPECT_EQ(station->cin, 0.0f);
    EXPECT_NEAR(station->bulkRichardson, 71.45f, 0.005f);
    expectExactly(*station, {0x1.09d274p+5f, 959, 0x1.6f4afcp+5f, 0x1.924b58p+4f, 154, 0x1.1917eep+12f, 0,
                             0x1.1dcb52p+6f});
}

TEST(ParcelEnergy, StableSoundingHasNoFreeConvection) {
    OwnedStation station(stableSounding());
    const std::string out = runParcelEnergy(*station, {863.70416f, 7.8862767f, 9.710497f, -5.6214685f});
    EXPECT_EQ(out, "");
    EXPECT_NEAR(station->lclHeight, 133.57f, 0.005f);
    EXPECT_NEAR(station->cin, -12496.96f, 0.005f);
    expectExactly(*station, {0x1.0b233p+7f, 0, 0, 0, 0, 0, -0x1.8687bp+13f, 0});
    for (const float value : {station->lfcPressure, station->lfcHeight, station->lfcTemperature,
                              station->elPressure, station->cape, station->bulkRichardson}) {
        EXPECT_EQ(value, 0.0f);
    }
}

TEST(ParcelEnergy, ZeroLclLeavesEverythingUntouched) {
    OwnedStation station(workedSounding());
    const std::string out = runParcelEnergy(*station, {0, 19.741547f, 9.710497f, -5.6214685f});
    EXPECT_EQ(out, "");
    for (const float value : {station->lclHeight, station->lfcPressure, station->cin, station->cape,
                              station->elPressure, station->bulkRichardson}) {
        EXPECT_EQ(value, 0.0f);
    }
}

TEST(ParcelEnergy, CalmWindLeavesRichardsonNumberZero) {
    OwnedStation station(workedSounding());
    runParcelEnergy(*station, {907.96844f, 19.741547f, 0, 0});
    EXPECT_GT(station->cape, 1.0f);
    EXPECT_EQ(station->bulkRichardson, 0.0f);
}

TEST(ParcelEnergy, LclAboveTheTopEndsWithoutReadingPastIt) {
    OwnedStation station{pht(1000, 10, 28), pht(950, 54, 24.5f), pht(925, 77, 22.8f)};
    const std::string out = runParcelEnergy(*station, {500, -10, 1, 1});
    EXPECT_EQ(out, "");
    EXPECT_NE(station->lclHeight, 0.0f);  // written by the visit of level 1
    EXPECT_EQ(station->cin, 0.0f);
}

TEST(ParcelEnergy, MoistAdiabatValues) {
    // θE of the worked sounding's parcel, 348.5789 K, as the analysis rounds it.
    const float thetaE = 0x1.5c9432p+8f;
    EXPECT_NEAR(thetaE, 348.5789f, 0.00005f);
    EXPECT_NEAR(*moistParcelTemperature(500, thetaE, false), 269.7127f, 0.00005f);
    EXPECT_NEAR(*moistParcelTemperature(300, thetaE, false), 244.0194f, 0.00005f);
    EXPECT_NEAR(saturationMixingRatio(293.16f, 1000), 14.8904f, 0.00005f);
    EXPECT_NEAR(saturationMixingRatio(273.16f, 500), 7.6917f, 0.00005f);
    EXPECT_TRUE(testing::sameFloat(0x1.0db676p+8f, *moistParcelTemperature(500, thetaE, false)));
    EXPECT_TRUE(testing::sameFloat(0x1.e809ecp+7f, *moistParcelTemperature(300, thetaE, false)));
    EXPECT_TRUE(testing::sameFloat(0x1.dc7e18p+3f, saturationMixingRatio(293.16f, 1000)));
    EXPECT_TRUE(testing::sameFloat(0x1.ec44bcp+2f, saturationMixingRatio(273.16f, 500)));
    EXPECT_EQ(saturationMixingRatio(999, 500), 0.0f);
}

TEST(ParcelEnergy, CappedSearchRefusesHotParcels) {
    // A parcel of θE 600 K at 1000 hPa is far warmer than 320 K on its adiabat.
    EXPECT_FALSE(moistParcelTemperature(1000, 600, true).has_value());
    EXPECT_TRUE(moistParcelTemperature(1000, 600, false).has_value());
}

TEST(ParcelEnergy, HostilePressuresNeitherHangNorOverflow) {
    // The 850 hPa level of the worked sounding replaced. Where it stays below the
    // LCL's visits (negative, not a number), the LCL height is the worked one from
    // levels 2 and 3; 10^30 hPa is visited itself, and by hand ln p interpolation
    // up to level 5 gives 149 + 51·62.27/62.40 = 199.9; infinity gives inf - inf.
    // The parcel is warmer at level 5, but no whole hPa of the hostile layer
    // below it is scanned: no LFC, no line.
    struct Case {
        float pressure, lclHeight;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {{1e30f, 0x1.8fcb04p+7f}, {-1e30f, 0x1.7266ccp+6f}, {inf, std::nanf("")},
                          {-inf, 0x1.7266ccp+6f},  {std::nanf(""), 0x1.7266ccp+6f}};
    for (const Case& c : cases) {
        std::vector<SoundingLevel> levels = workedSounding();
        levels[4].pressure = c.pressure;
        OwnedStation station(levels);
        EXPECT_EQ(runParcelEnergy(*station, {907.96844f, 19.741547f, 9.710497f, -5.6214685f}), "");
        EXPECT_TRUE(testing::sameFloat(c.lclHeight, station->lclHeight)) << c.pressure;
        EXPECT_EQ(station->lfcPressure, 0.0f) << c.pressure;
        EXPECT_EQ(station->cape, 0.0f) << c.pressure;
    }
}

}  // namespace
}  // namespace vivezeru5
