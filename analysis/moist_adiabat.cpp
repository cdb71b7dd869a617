#include "analysis/moist_adiabat.h"

#include <array>
#include <cmath>

#include "analysis/bounded_exp.h"
#include "analysis/precision.h"
#include "analysis/pressure_powers.h"

namespace vivezeru5 {
namespace {

constexpr int kMaxTries = 12;
constexpr float kFirstTrial = 253.16f;  // K
constexpr float kFirstStep = 60.0f;     // K, halved at every try

// The temperatures the search can try form a fixed binary tree: the first
// trial at the root, and below a trial of depth d the trials d+1 deep, one
// step of 60/2^d K colder and one warmer, rounded to float as the search
// rounds them. Trial k's colder child is 2k + 1 and its warmer one 2k + 2.
constexpr int kTrialCount = (1 << kMaxTries) - 1;

int colderTrial(int trial) { return 2 * trial + 1; }
int warmerTrial(int trial) { return 2 * trial + 2; }

// es (hPa) of the saturation mixing ratio at `kelvin`, below 999 K.
float trialVaporPressure(float kelvin) {
    const double t = roundToFloat(kelvin - static_cast<double>(kKelvinOffset));
    return roundToFloat(6.1078 * std::exp(17.2693882 * t / (t + 237.3)));
}

float mixingRatioOfVapor(float vapor, float pressure) {
    return roundToFloat(621.97 * vapor / (static_cast<double>(pressure) - vapor));
}

// es at every trial temperature of the tree (all of them far below 999 K),
// computed once per process with the formula and roundings of
// saturationMixingRatio, so that a search needs one exponential a try.
const std::array<float, kTrialCount>& trialVaporPressures() {
    static const std::array<float, kTrialCount> table = [] {
        std::array<float, kTrialCount> kelvin{};
        std::array<float, kTrialCount> vapor{};
        kelvin[0] = kFirstTrial;
        float step = kFirstStep;
        for (int depthStart = 0; depthStart < kTrialCount; depthStart = colderTrial(depthStart)) {
            for (int trial = depthStart; trial < colderTrial(depthStart); ++trial) {
                vapor[trial] = trialVaporPressure(kelvin[trial]);
                if (warmerTrial(trial) < kTrialCount) {
                    kelvin[colderTrial(trial)] = roundToFloat(static_cast<double>(kelvin[trial]) - step);
                    kelvin[warmerTrial(trial)] = roundToFloat(static_cast<double>(kelvin[trial]) + step);
                }
            }
            step = step / 2;
        }
        return vapor;
    }();
    return table;
}

enum class Verdict { Accept, Warmer, Colder };

// A try's residual below this (K) accepts its temperature.
constexpr double kAcceptedResidual = 0.01;

// The verdict the method takes from the residual f, rounded to float: accept
// when |f| < 0.01, else warmer when f ≥ 0, colder when f is negative or not a
// number.
Verdict verdictOfResidual(float residual) {
    if (std::fabs(static_cast<double>(residual)) < kAcceptedResidual) {
        return Verdict::Accept;
    }
    return residual >= 0 ? Verdict::Warmer : Verdict::Colder;
}

// How far (K) the approximate residual must stay from ±0.01 for its verdict
// to be taken, plus a part in proportion to the two terms of the difference.
//
// Let f = θE·e^x − c be the residual in double with the platform's e^x and g
// the same with approximateExp. Both products and both differences are
// rounded to double once each, and e^x is either within 2^-52 relative (the
// platform's) or within kApproximateExpError (ours), so
// |g − f| ≤ (kApproximateExpError + 2^-52 + 4·2^-53)·(|θE·e^x| + |c|)·(1 + 1e-10)
// plus, where products are subnormal, a few 2^-1074 absolute: below
// kRelativeSlack·(|θE·e^x| + |c|) + 1e-300. If g < 0.01 − margin, then
// f < 0.01 − 1e-6, and f rounded to float (whose spacing near 0.01 is 9.3e-10)
// stays below 0.01; if g > 0.01 + margin, f and its float exceed 0.01 (or are
// +inf). The same holds at −0.01, and beyond ±0.01 the float keeps the sign
// of f, so the three verdicts agree. A margin that is not finite, or an input
// that is not a number, decides nothing.
constexpr double kAbsoluteMargin = 1e-6;
constexpr double kRelativeSlack = 10 * kApproximateExpError;

// The verdict of the try from the approximate exponential, or none when the
// approximation cannot prove it: then the try is evaluated exactly.
std::optional<Verdict> verdictOfApproximation(double thetaE, double exponent, double coldTerm) {
    if (!(std::fabs(exponent - kApproximateExpCentre) <= kApproximateExpRadius)) {
        return std::nullopt;
    }
    const double warmTerm = thetaE * approximateExp(exponent);
    const double residual = warmTerm - coldTerm;
    const double margin = kAbsoluteMargin + kRelativeSlack * (std::fabs(warmTerm) + std::fabs(coldTerm));
    const double distance = std::fabs(residual);
    if (distance < kAcceptedResidual - margin) {
        return Verdict::Accept;
    }
    if (distance > kAcceptedResidual + margin) {
        return residual > 0 ? Verdict::Warmer : Verdict::Colder;
    }
    return std::nullopt;
}

template <bool kQuickVerdicts>
std::optional<float> searchMoistAdiabat(float pressure, float thetaE, bool capped) {
    const std::array<float, kTrialCount>& vapor = trialVaporPressures();
    float temperature = kFirstTrial;
    float step = 2 * kFirstStep;
    int trial = 0;
    const double exner = moistAdiabatFactor(pressure);
    for (int attempt = 0; attempt < kMaxTries; ++attempt) {
        step = step / 2;
        if (capped && temperature > 320) {
            return std::nullopt;
        }
        const double t = temperature;
        const double exponent = -2.6518986 * mixingRatioOfVapor(vapor[trial], pressure) / t;
        const double coldTerm = t * exner;
        std::optional<Verdict> verdict;
        if constexpr (kQuickVerdicts) {
            verdict = verdictOfApproximation(thetaE, exponent, coldTerm);
        }
        if (!verdict) {
            verdict = verdictOfResidual(roundToFloat(thetaE * std::exp(exponent) - coldTerm));
        }
        if (*verdict == Verdict::Accept) {
            return temperature;
        }
        const bool warmer = *verdict == Verdict::Warmer;
        temperature = roundToFloat(warmer ? t + step : t - step);
        trial = warmer ? warmerTrial(trial) : colderTrial(trial);
    }
    return temperature;
}

}  // namespace

float saturationMixingRatio(float kelvin, float pressure) {
    if (kelvin >= 999) {
        return 0;
    }
    return mixingRatioOfVapor(trialVaporPressure(kelvin), pressure);
}

std::optional<float> moistParcelTemperature(float pressure, float thetaE, bool capped) {
    return searchMoistAdiabat<true>(pressure, thetaE, capped);
}

std::optional<float> moistParcelTemperatureExactly(float pressure, float thetaE, bool capped) {
    return searchMoistAdiabat<false>(pressure, thetaE, capped);
}

}  // namespace vivezeru5
