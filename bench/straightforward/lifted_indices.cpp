#include "straightforward/lifted_indices.h"

#include <cmath>

#include "straightforward/numerics.h"

namespace vivezeru5::straightforward {
namespace {

// The parcel lifted from (td, t, p) to 500 hPa: dry-adiabatically when its
// condensation level lies at or above 500 hPa, otherwise from the
// condensation level with one linear lapse rate over the whole depth.
// `tested`: the lifted index's early returns of 0.
float parcelAt500(float dewPoint, float temperature, float pressure, float t500, bool tested) {
    const double p = pressure;
    const double tdK = single(double{dewPoint} + kKelvinOffset);
    const double tK = single(double{temperature} + kKelvinOffset);
    const double t5K = single(double{t500} + kKelvinOffset);
    const double ed = saturationVaporPressure(static_cast<float>(tdK));
    const double es = saturationVaporPressure(static_cast<float>(tK));
    const double ws = single(0.62198 * es / (p - es));
    if (tested && (ws == 0 || tK == 0 || p == 0)) {
        return 0;
    }
    const double wd = single(0.62198 * ed / (p - ed));
    const double rh = single(wd / ws);
    const double e = single(rh * std::exp(22.05565 - 0.009137024 * tK - 6106.396 / tK));
    if (tested && e <= 0) {
        return 0;
    }
    const double tL = single(tdK - (41.178204 / tK - 0.37329638 + 0.0015945203 * tdK) * (tK - tdK));
    const double pL = single(p * std::pow(tL / tK, 3.49825));
    if (pL <= 500) {
        return static_cast<float>(t5K - tK * std::pow(500.0 / p, 0.286));
    }
    const double m = single(e / (p - e));
    const double lapse = (20.746475 * m + 0.1419709) - 6672.5713 * m / tL - 0.000036336427 * pL;  // K per hPa
    return static_cast<float>((pL - 500) * lapse + (t5K - tL));
}

}  // namespace

float saturationVaporPressure(float temperature) {
    const double t = temperature > 120 ? single(double{temperature} - kKelvinOffset) : double{temperature};
    const bool overWater = t + kKelvinOffset >= 263;
    const double a = overWater ? 7.63f : 9.5f;
    const double b = overWater ? 241.9f : 265.5f;
    return static_cast<float>(6.11 * std::pow(10.0, a * t / (t + b)));
}

float computeLiftedIndex(float dewPoint, float temperature, float pressure, float t500) {
    return parcelAt500(dewPoint, temperature, pressure, t500, true);
}

float computeShowalter(float dewPoint, float temperature, float pressure, float t500) {
    return parcelAt500(dewPoint, temperature, pressure, t500, false);
}

}  // namespace vivezeru5::straightforward
