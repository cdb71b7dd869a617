#include "straightforward/moist_adiabat.h"

#include <cmath>

#include "straightforward/numerics.h"

namespace vivezeru5::straightforward {

double saturationMixingRatio(double kelvin, double pressure) {
    if (kelvin >= 999) {
        return 0;
    }
    const double t = kelvin - kKelvinOffset;
    const double es = single(6.1078 * std::exp(17.2693882 * t / (t + 237.3)));
    return single(621.97 * es / (pressure - es));
}

MoistParcelTemperature moistParcelTemperature(double pressure, double thetaE, bool capped) {
    double t = 253.16f;
    double step = 120.0f;
    for (int attempt = 0; attempt < 12; ++attempt) {
        step = single(step / 2);
        if (capped && t > 320) {
            return {t, true};
        }
        // The residual falls as t rises: the trial's equivalent potential
        // temperature against the parcel's.
        const double f = single(thetaE * std::exp(-2.6518986 * saturationMixingRatio(t, pressure) / t) -
                                t * std::pow(1000 / pressure, 0.286));
        if (std::fabs(f) < 0.01) {
            return {t, false};
        }
        t = single(f >= 0 ? t + step : t - step);
    }
    return {t, false};
}

}  // namespace vivezeru5::straightforward
