#include "analysis/moist_adiabat.h"

#include <array>
#include <cmath>

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

}  // namespace

float saturationMixingRatio(float kelvin, float pressure) {
    if (kelvin >= 999) {
        return 0;
    }
    return mixingRatioOfVapor(trialVaporPressure(kelvin), pressure);
}

std::optional<float> moistParcelTemperature(float pressure, float thetaE, bool capped) {
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
        const float residual = roundToFloat(
            thetaE * std::exp(-2.6518986 * mixingRatioOfVapor(vapor[trial], pressure) / t) - t * exner);
        if (std::fabs(static_cast<double>(residual)) < 0.01) {
            return temperature;
        }
        const bool warmer = residual >= 0;
        temperature = roundToFloat(warmer ? t + step : t - step);
        trial = warmer ? warmerTrial(trial) : colderTrial(trial);
    }
    return temperature;
}

}  // namespace vivezeru5
