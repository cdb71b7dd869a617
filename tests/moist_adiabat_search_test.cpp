// The moist-adiabat search takes most verdicts from a cheap exponential; it
// must return, for every input, exactly what the search evaluating every try
// with the platform's exp returns. Compared here over the whole input domain.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "analysis/moist_adiabat.h"
#include "test_support.h"

namespace vivezeru5 {
namespace {

// Deterministic on every platform (the standard distributions are not).
class InputSource {
public:
    explicit InputSource(std::uint64_t seed) : state_(seed) {}
    std::uint64_t bits() {  // splitmix64
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    double unit() { return static_cast<double>(bits() >> 11) * 0x1p-53; }
    float between(double low, double high, bool logarithmic) {
        if (logarithmic) {
            return static_cast<float>(std::exp(std::log(low) + unit() * (std::log(high) - std::log(low))));
        }
        return static_cast<float>(low + unit() * (high - low));
    }
    float anyBits() {
        const auto word = static_cast<std::uint32_t>(bits());
        float value;
        std::memcpy(&value, &word, sizeof value);
        return value;
    }

private:
    std::uint64_t state_;
};

struct Range {
    double low, high;
    bool logarithmic;
};

struct SearchDomain {
    const char* name;
    Range pressure, thetaE;
    int samples;
};

::testing::AssertionResult sameSearch(float pressure, float thetaE, bool capped) {
    const std::optional<float> quick = moistParcelTemperature(pressure, thetaE, capped);
    const std::optional<float> exact = moistParcelTemperatureExactly(pressure, thetaE, capped);
    if (quick.has_value() == exact.has_value() && (!exact || testing::sameFloat(*exact, *quick))) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::hexfloat << "p=" << pressure << " thetaE=" << thetaE
                                         << " capped=" << capped << ": quick "
                                         << (quick ? *quick : -1.0f) << ", exact " << (exact ? *exact : -1.0f);
}

TEST(MoistAdiabatSearch, QuickVerdictsChangeNoResultOverTheDomain) {
    const std::vector<SearchDomain> domains = {
        {"real soundings", {100, 1100, false}, {250, 420, false}, 600000},
        {"every pressure a reader accepts", {1e-3, 2e3, true}, {150, 600, false}, 400000},
        {"cold and thin", {1e-6, 10, true}, {1, 1e5, true}, 300000},
        {"any magnitude", {1e-30, 1e30, true}, {1e-30, 1e30, true}, 300000},
        {"negative pressures", {-2e3, 0, false}, {0, 600, false}, 100000},
        {"negative thetaE", {100, 1100, false}, {-600, 0, false}, 100000},
        {"pressure near the vapour pressure", {1e-2, 120, true}, {200, 2000, true}, 300000},
    };
    int failures = 0;
    for (const SearchDomain& domain : domains) {
        SCOPED_TRACE(domain.name);
        InputSource source(0x5eed0000u + static_cast<std::uint64_t>(domain.samples));
        for (int sample = 0; sample < domain.samples && failures < 10; ++sample) {
            const float pressure =
                source.between(domain.pressure.low, domain.pressure.high, domain.pressure.logarithmic);
            const float thetaE = source.between(domain.thetaE.low, domain.thetaE.high, domain.thetaE.logarithmic);
            const bool capped = (source.bits() & 1) != 0;
            const ::testing::AssertionResult same = sameSearch(pressure, thetaE, capped);
            EXPECT_TRUE(same);
            failures += same ? 0 : 1;
        }
    }
}

TEST(MoistAdiabatSearch, QuickVerdictsChangeNoResultForAnyBitPattern) {
    InputSource source(0xb175u);
    int failures = 0;
    for (int sample = 0; sample < 300000 && failures < 10; ++sample) {
        const float pressure = source.anyBits();
        const float thetaE = source.anyBits();
        const ::testing::AssertionResult same = sameSearch(pressure, thetaE, (sample & 1) != 0);
        EXPECT_TRUE(same);
        failures += same ? 0 : 1;
    }
}

TEST(MoistAdiabatSearch, QuickVerdictsChangeNoResultForHostileValues) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> pressures = {kNaN, kInf, -kInf, 0.0f, -0.0f, -5.0f, 1e-45f, 1e-30f, 1.25f, 6.1f,
                                          73.8f, 500, 1100, 1e30f, std::numeric_limits<float>::max()};
    const std::vector<float> thetaEs = {kNaN, kInf, -kInf, 0.0f, -0.0f, -300.0f, 1e-45f, 1e-3f, 253.16f,
                                        348.5789f, 600, 1e6f, 1e30f, std::numeric_limits<float>::max()};
    for (const float pressure : pressures) {
        for (const float thetaE : thetaEs) {
            for (const bool capped : {false, true}) {
                EXPECT_TRUE(sameSearch(pressure, thetaE, capped));
            }
        }
    }
}

// Inputs whose residual lands within a float's spacing of ±0.01 K, or far
// from it only in absolute terms: the cheap exponential alone would take
// the other verdict here.
struct BoundaryCase {
    const char* name;
    float pressure, thetaE;
    bool capped;
};

TEST(MoistAdiabatSearch, QuickVerdictsChangeNoResultNextToTheThresholds) {
    const std::vector<BoundaryCase> cases = {
        // First try's residual just above +0.01, rounding to the float above it.
        {"601.5 hPa, just above +0.01", 0x1.2cc324p+9f, 0x1.28c4bcp+8f, false},
        {"146.9 hPa, just below -0.01", 0x1.25cc1ap+7f, 0x1.cf436ep+8f, true},
        // Both terms of the residual far below 1 K: only the absolute margin
        // covers the float rounding of the residual there.
        {"4.2e22 hPa, tiny terms near +0.01", 0x1.1fe296p+75f, 0x1.5bdf24p-7f, false},
        {"1.7e18 hPa, tiny terms near -0.01", 0x1.7f6796p+60f, 0x1.21e2fp-10f, true},
        // Real soundings where ws rounded to float moves the residual across
        // ±0.01 by more than the absolute margin.
        {"943.4 hPa, ws rounding across the threshold", 0x1.d7b098p+9f, 0x1.89423cp+8f, true},
        {"679.1 hPa, ws rounding across the threshold", 0x1.5388f8p+9f, 0x1.801a78p+8f, false},
        // Exponents near -1, outside the polynomial's interval.
        {"9.5 hPa, exponent -1, near +0.01", 0x1.3118a2p+3f, 0x1.3eedc2p+11f, false},
        {"9.4 hPa, exponent -1, near -0.01", 0x1.2d953ap+3f, 0x1.443762p+11f, true},
    };
    for (const BoundaryCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(sameSearch(row.pressure, row.thetaE, row.capped));
    }
}

}  // namespace
}  // namespace vivezeru5
