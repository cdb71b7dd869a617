#include "analysis/moist_adiabat.h"

#include <array>
#include <cmath>
#include <limits>

#include "analysis/bounded_exp.h"
#include "analysis/double_maths.h"
#include "analysis/moist_adiabat_estimate.h"
#include "analysis/precision.h"
#include "analysis/pressure_powers.h"

namespace vivezeru5 {
namespace {

constexpr int kMaxTries = 12;
constexpr float kFirstTrial = 253.16f;  // K
constexpr float kFirstStep = 60.0f;     // K, halved at every try

// es (hPa) of the saturation mixing ratio at `kelvin`, below 999 K.
float trialVaporPressure(float kelvin) {
    const double t = roundToFloat(kelvin - static_cast<double>(kKelvinOffset));
    return roundToFloat(6.1078 * maths::exp(17.2693882 * t / (t + 237.3)));
}

float mixingRatioOfVapor(float vapor, float pressure) {
    return roundToFloat(621.97 * vapor / (static_cast<double>(pressure) - vapor));
}

// The temperatures the search can try form a fixed binary tree: the first
// trial at the root, and below a trial of depth d the trials d+1 deep, one
// step of 60/2^d K colder and one warmer, rounded to float as the search
// rounds them. Trial k's colder child is 2k + 1 and its warmer one 2k + 2, so
// the trials of depth d are numbered 2^d − 1 onwards from the coldest.
//
// A path from the root is named by the leaf it ends in: one of 2^12 places
// below the twelfth try, numbered from the coldest, whose bits from the
// highest down say at each depth whether the search went warmer (1).
constexpr int kTrialCount = (1 << kMaxTries) - 1;
constexpr int kLeafCount = 1 << kMaxTries;

int colderTrial(int trial) { return 2 * trial + 1; }
int warmerTrial(int trial) { return 2 * trial + 2; }

struct Trial {
    float kelvin;
    float vapor;  // es at kelvin, hPa, as saturationMixingRatio forms it
};

using TrialTree = std::array<Trial, kTrialCount>;

// Every trial of the tree with its es (all far below 999 K), computed once
// per process with the roundings of the search and of saturationMixingRatio.
const TrialTree& trialTree() {
    static const TrialTree tree = [] {
        TrialTree trials{};
        trials[0].kelvin = kFirstTrial;
        float step = kFirstStep;
        for (int depthStart = 0; depthStart < kTrialCount; depthStart = colderTrial(depthStart)) {
            for (int trial = depthStart; trial < colderTrial(depthStart); ++trial) {
                const double kelvin = trials[trial].kelvin;
                trials[trial].vapor = trialVaporPressure(trials[trial].kelvin);
                if (warmerTrial(trial) < kTrialCount) {
                    trials[colderTrial(trial)].kelvin = roundToFloat(kelvin - step);
                    trials[warmerTrial(trial)].kelvin = roundToFloat(kelvin + step);
                }
            }
            step = step / 2;
        }
        return trials;
    }();
    return tree;
}

// The leaf whose path leads towards `kelvin`: the place below the twelfth try
// that covers it among 2^12 equal places from 133.16 to 373.16 K (the trials'
// reach), held inside them.
int leafTowards(double kelvin) {
    constexpr double kPlacesPerKelvin = kLeafCount / (kWarmestMoistTrialBound - kColdestMoistTrialBound);
    const double place = (kelvin - kColdestMoistTrialBound) * kPlacesPerKelvin;
    if (!(place > 0)) {
        return 0;
    }
    return place < kLeafCount - 1 ? static_cast<int>(place) : kLeafCount - 1;
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

// The try at `kelvin` as the method evaluates it:
// f = θE·exp(−2.6518986·ws/T) − T·exner, rounded, with ws rounded to float.
Verdict exactVerdict(float kelvin, float vapor, float pressure, float thetaE, double exner) {
    const double t = kelvin;
    const double exponent = -2.6518986 * mixingRatioOfVapor(vapor, pressure) / t;
    return verdictOfResidual(roundToFloat(thetaE * maths::exp(exponent) - t * exner));
}

// −2.6518986 · 621.97: the exponent per es/((p − es)·T), rounded once.
constexpr double kExponentPerVapor = -2.6518986 * 621.97;

// The turn a try takes: 0 colder, 1 warmer (as in a leaf's bits), or the
// temperature is accepted, or the approximation could not prove the verdict.
constexpr int kColder = 0;
constexpr int kWarmer = 1;
constexpr int kAccepted = 2;
constexpr int kUndecided = 3;

int turnOfVerdict(Verdict verdict) {
    switch (verdict) {
        case Verdict::Accept: return kAccepted;
        case Verdict::Warmer: return kWarmer;
        case Verdict::Colder: break;
    }
    return kColder;
}

// What one search needs to take its tries' verdicts from the approximate
// exponential.
//
// The exact try forms x = −2.6518986·ws/T with ws = 621.97·es/(p − es)
// rounded to float; the approximation forms x' = kExponentPerVapor·es/((p −
// es)·T) in double alone. Five roundings to double on each side and the float
// rounding of ws give |x − x'| ≤ (2^-24 + 10·2^-53)·|x'| plus below 1e-40
// where ws is a subnormal float, which for |x'| ≤ 0.7 is below 4.18e-8; so
// e^x = e^x'·(1 + κ) with |κ| ≤ 4.18e-8. Let f = θE·e^x − c be the exact
// residual in double with the platform's e^x (within 2^-52 relative) and g =
// θE·e^c'·P(x' − c') the approximate one (the centre and the polynomial of
// approximateExpOfOffset, within kApproximateExpError = 1e-9 relative);
// c = T·exner is the same double in both. Each product and difference rounded once more
// gives |g − f| ≤ 4.3e-8·(|θE·e^x'| + |c|) plus, where products are
// subnormal, a few 2^-1074 absolute. As x' ≤ 0 and T ≤ 373.16 K, this is
// below kRelativeSlack·(|θE| + 373.16·|exner|) + 1e-300, and `margin` adds
// kAbsoluteMargin to that. If g < 0.01 − margin, then f < 0.01 − 1e-6, and f
// rounded to float (whose spacing near 0.01 is 9.3e-10) stays below 0.01; if
// g > 0.01 + margin, f and its float exceed 0.01 (or are +inf). The same
// holds at −0.01, and beyond ±0.01 the float keeps the sign of f, so the
// three verdicts agree. A margin that is not finite, or an input that is not
// a number, decides nothing.
constexpr double kAbsoluteMargin = 1e-6;
constexpr double kRelativeSlack = 5e-8;

class QuickTries {
public:
    QuickTries(float pressure, float thetaE, double exner)
        : pressure_(pressure),
          thetaE_(thetaE),
          exner_(exner),
          scale_(thetaE * kApproximateExpScale) {
        const double terms = std::fabs(thetaE_) + kWarmestMoistTrialBound * std::fabs(exner);
        const double margin = kAbsoluteMargin + kRelativeSlack * terms;
        acceptBelow_ = kAcceptedResidual - margin;
        turnAbove_ = kAcceptedResidual + margin;
    }

    // The turn of the try at `trial`: kUndecided when the approximation
    // cannot prove the verdict (then the try is to be evaluated exactly).
    int turn(const Trial& trial) const {
        const double t = trial.kelvin;
        const double vapor = trial.vapor;
        const double exponent = kExponentPerVapor * vapor / ((pressure_ - vapor) * t);
        if (!(std::fabs(exponent - kApproximateExpCentre) <= kApproximateExpRadius)) {
            return kUndecided;
        }
        const double residual = scale_ * approximateExpOfOffset(exponent - kApproximateExpCentre) - t * exner_;
        const double distance = std::fabs(residual);
        if (distance > turnAbove_) {
            return static_cast<int>(residual > 0);
        }
        return distance < acceptBelow_ ? kAccepted : kUndecided;
    }

private:
    double pressure_;
    double thetaE_;
    double exner_;
    double scale_;  // θE·e^c', the part of θE·e^x' common to every try
    double acceptBelow_ = 0;
    double turnAbove_ = 0;
};

// Here the path's next turn equals the verdict just compared with it, and an
// optimising compiler would take the next trial from the verdict (or turn the
// rare change of path into a conditional move), making every try wait for the
// one before. This hides the path's value from it.
void keepApart(unsigned& path) {
#if defined(__GNUC__)
    __asm__("" : "+r"(path));
#else
    static_cast<void>(path);
#endif
}

}  // namespace

float saturationMixingRatio(float kelvin, float pressure) {
    if (kelvin >= 999) {
        return 0;
    }
    return mixingRatioOfVapor(trialVaporPressure(kelvin), pressure);
}

// The search walks the tree along the path towards a first guess of the
// result. Which trial comes next then does not wait for the try before it, so
// the processor evaluates several tries at once; a verdict that turns the
// other way moves the path to the nearest leaf on that side, next to the
// guess, and the walk goes on from there. The trials tried and their
// verdicts are the method's, so is the result.
std::optional<float> moistParcelTemperature(float pressure, float thetaE, bool capped) {
    const TrialTree& tree = trialTree();
    const double exner = moistAdiabatFactor(pressure);
    const QuickTries quick(pressure, thetaE, exner);
    const float ceiling = capped ? 320.0f : std::numeric_limits<float>::infinity();
    // The path still to go: its next turn in the highest of kMaxTries bits.
    unsigned path = static_cast<unsigned>(leafTowards(estimateMoistAdiabatKelvin(exner, thetaE)));
    constexpr unsigned kNextTurn = 1u << (kMaxTries - 1);
    int index = 0;
    int turn = kColder;
    // Unrolled (kMaxTries times), the walk keeps no loop counter and shifts
    // by constants.
#if defined(__GNUC__)
#pragma GCC unroll 12
#endif
    for (int depth = 0; depth < kMaxTries; ++depth) {
        const Trial& trial = tree[index];
        if (trial.kelvin > ceiling) {
            return std::nullopt;
        }
        turn = quick.turn(trial);
        if (turn > kWarmer) [[unlikely]] {
            if (turn == kUndecided) {
                turn = turnOfVerdict(exactVerdict(trial.kelvin, trial.vapor, pressure, thetaE, exner));
            }
            if (turn == kAccepted) {
                return trial.kelvin;
            }
        }
        if (turn != static_cast<int>((path & kNextTurn) != 0)) [[unlikely]] {
            // On to the nearest leaf on the verdict's side of this trial.
            path = turn == kWarmer ? kNextTurn : kNextTurn - 1;
            keepApart(path);
        }
        keepApart(path);
        // The next trial: colderTrial(index), or one further for warmer.
        index = colderTrial(index) + static_cast<int>((path >> (kMaxTries - 1)) & 1u);
        path <<= 1;
    }
    const double t = tree[(index - 1) / 2].kelvin;
    const double step = kFirstStep / (1 << (kMaxTries - 1));
    return roundToFloat(turn == kWarmer ? t + step : t - step);
}

// The method as written: one try after the other, each evaluated with the
// platform's exp.
std::optional<float> moistParcelTemperatureExactly(float pressure, float thetaE, bool capped) {
    const double exner = moistAdiabatFactor(pressure);
    float temperature = kFirstTrial;
    float step = 2 * kFirstStep;
    for (int attempt = 0; attempt < kMaxTries; ++attempt) {
        step = step / 2;
        if (capped && temperature > 320) {
            return std::nullopt;
        }
        const Verdict verdict =
            exactVerdict(temperature, trialVaporPressure(temperature), pressure, thetaE, exner);
        if (verdict == Verdict::Accept) {
            return temperature;
        }
        const double t = temperature;
        temperature = roundToFloat(verdict == Verdict::Warmer ? t + step : t - step);
    }
    return temperature;
}

}  // namespace vivezeru5
