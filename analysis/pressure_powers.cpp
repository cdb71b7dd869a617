#include "analysis/pressure_powers.h"

#include <array>

#include "analysis/double_maths.h"

namespace vivezeru5 {
namespace {

constexpr int kWholePressures = 1101;  // 0 to 1100 hPa

using WholePressureTable = std::array<double, kWholePressures>;

WholePressureTable powersAtWholePressures(double exponent) {
    WholePressureTable powers{};
    for (int hectopascals = 1; hectopascals < kWholePressures; ++hectopascals) {
        powers[hectopascals] = maths::pow(1000.0 / static_cast<float>(hectopascals), exponent);
    }
    return powers;
}

double pressurePower(float pressure, double exponent, const WholePressureTable& whole) {
    if (pressure >= 1 && pressure < kWholePressures) {
        const int hectopascals = static_cast<int>(pressure);
        if (static_cast<float>(hectopascals) == pressure) {
            return whole[hectopascals];
        }
    }
    return maths::pow(1000.0 / pressure, exponent);
}

}  // namespace

double potentialTemperatureFactor(float pressure) {
    static const WholePressureTable whole = powersAtWholePressures(0.288);
    return pressurePower(pressure, 0.288, whole);
}

double moistAdiabatFactor(float pressure) {
    static const WholePressureTable whole = powersAtWholePressures(0.286);
    return pressurePower(pressure, 0.286, whole);
}

}  // namespace vivezeru5
