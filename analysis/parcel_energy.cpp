#include "analysis/parcel_energy.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "analysis/double_maths.h"
#include "analysis/moist_adiabat.h"
#include "analysis/parcel_path.h"
#include "analysis/pressure_powers.h"
#include "analysis/precision.h"
#include "records/sounding_station.h"

namespace vivezeru5 {
namespace {

// A refinement scan walks whole hPa downward through one layer. It starts only
// from a finite pressure within this bound and takes at most this many steps,
// so that no pressure from a broken file can overflow an integer or hang.
constexpr double kScanStartBound = 1000000.0;
constexpr int kMaxScanSteps = 100000;

float potentialTemperatureWithFactor(float celsius, double factor) {
    return roundToFloat((celsius + static_cast<double>(kKelvinOffset)) * factor);
}

// Potential temperature (K) of the energy terms, exponent 0.288.
float potentialTemperature(float celsius, float pressure) {
    return potentialTemperatureWithFactor(celsius, potentialTemperatureFactor(pressure));
}

// The environment's and the parcel's potential temperatures at one pressure,
// which share their factor.
struct PotentialTemperatures {
    float environment;
    float parcel;
};

PotentialTemperatures potentialTemperatures(float environmentCelsius, float parcelCelsius, float pressure) {
    const double factor = potentialTemperatureFactor(pressure);
    return {potentialTemperatureWithFactor(environmentCelsius, factor),
            potentialTemperatureWithFactor(parcelCelsius, factor)};
}

float logPressureRatio(float pressure) { return roundToFloat(maths::log(pressure / 1000.0)); }

float layerMean(float upper, float lower) {
    return roundToFloat((static_cast<double>(upper) + lower) / 2);
}

// Buoyant energy (J/kg) of a layer of `thickness` dam whose mean parcel and
// environment potential temperatures are `parcelMean` and `environmentMean`.
float layerTerm(float parcelMean, float environmentMean, double thickness) {
    return roundToFloat(9.8 * (static_cast<double>(parcelMean) - environmentMean) * 10 * thickness /
                        environmentMean);
}

float addLayer(float sum, float parcelMean, float environmentMean, double thickness) {
    return roundToFloat(static_cast<double>(sum) + layerTerm(parcelMean, environmentMean, thickness));
}

// Level fields inside the layer between `lower` and `upper`, linear in ln p.
// The ln p of the two levels is formed once for the layer.
class LogPressureLayer {
public:
    LogPressureLayer(const SoundingLevel& lower, const SoundingLevel& upper)
        : lower_(lower),
          upper_(upper),
          lowerLog_(logPressureRatio(lower.pressure)),
          span_(static_cast<double>(logPressureRatio(upper.pressure)) - lowerLog_) {}

    const SoundingLevel& lower() const { return lower_; }
    const SoundingLevel& upper() const { return upper_; }

    // Value of `field` at the pressure whose logPressureRatio is `logPressure`.
    double at(float logPressure, float SoundingLevel::*field) const {
        const double lowerValue = lower_.*field;
        const double upperValue = upper_.*field;
        return lowerValue + (static_cast<double>(logPressure) - lowerLog_) * (upperValue - lowerValue) / span_;
    }

private:
    const SoundingLevel& lower_;
    const SoundingLevel& upper_;
    float lowerLog_;
    double span_;
};

float parcelCelsius(float pressure, float thetaE) {
    return roundToFloat(static_cast<double>(*moistParcelTemperature(pressure, thetaE, false)) -
                        kKelvinOffset);
}

// Walks whole hPa from trunc(lower.pressure) down while above upper.pressure,
// calling `visit` with each until it returns true.
template <typename Visit>
void scanWholeHectopascals(const SoundingLevel& lower, const SoundingLevel& upper, Visit visit) {
    if (!std::isfinite(lower.pressure) || std::fabs(lower.pressure) > kScanStartBound) {
        return;
    }
    const int start = static_cast<int>(lower.pressure);
    for (int step = 0; step < kMaxScanSteps; ++step) {
        const float pressure = static_cast<float>(start - step);
        if (!(pressure > upper.pressure)) {
            return;
        }
        if (visit(pressure)) {
            return;
        }
    }
}

// Working values carried from one layer to the next.
struct ParcelState {
    float surfaceTheta;      // θ of the surface parcel
    float negativeSum = 0;   // N
    float parcelTheta;       // Pθ, parcel θ at the lower end of the next layer
    float environmentTheta;  // Eθ, environment θ at the lower end of the next layer
    float lastHeight;        // Hb
};

enum class Progress { Continue, End };



// Levels between the surface and the LCL: their negative energy and the LCL height.
Progress integrateBelowLcl(SoundingStation& station, ParcelState& state, ParcelEnergyOutcome& outcome) {
    const SoundingLevel* levels = station.levels;
    const int n = station.levelCount;
    const float lcl = station.lclPressure;
    const float lclLog = logPressureRatio(lcl);
    bool visited = false;
    for (int i = 1; i < n; ++i) {
        if (!(levels[i].pressure > lcl)) {
            continue;
        }
        visited = true;
        if (i + 1 >= n || levels[i].pressure <= 0 || levels[i + 1].pressure <= 0) {
            return Progress::End;
        }
        station.lclHeight =
            roundToFloat(LogPressureLayer(levels[i], levels[i + 1]).at(lclLog, &SoundingLevel::height));
        outcome.lclHeightSet = true;
        const float theta = potentialTemperature(levels[i].temperature, levels[i].pressure);
        const float environmentMean = layerMean(theta, state.environmentTheta);
        state.lastHeight = levels[i].height;
        if (state.surfaceTheta < theta) {
            const double lowerHeight = levels[i - 1].height > 9998 ? 0.0 : levels[i - 1].height;
            if (environmentMean > state.surfaceTheta) {
                state.negativeSum = addLayer(state.negativeSum, state.surfaceTheta, environmentMean,
                                             levels[i].height - lowerHeight);
            }
        }
        state.environmentTheta = theta;
    }
    if (!visited && n >= 2) {
        if (levels[0].pressure <= 0 || levels[1].pressure <= 0) {
            return Progress::End;
        }
        station.lclHeight =
            roundToFloat(LogPressureLayer(levels[0], levels[1]).at(lclLog, &SoundingLevel::height));
        outcome.lclHeightSet = true;
    }
    return Progress::Continue;
}

// The layer from the last level below the LCL up to the LCL.
void closeLayerAtLcl(const SoundingStation& station, ParcelState& state) {
    const float theta = potentialTemperature(station.lclTemperature, station.lclPressure);
    const float environmentMean = layerMean(theta, state.environmentTheta);
    if (environmentMean > state.surfaceTheta) {
        state.negativeSum =
            addLayer(state.negativeSum, state.surfaceTheta, environmentMean,
                     static_cast<double>(station.lclHeight) - state.lastHeight);
    }
    state.environmentTheta = theta;
}

// Index of the first level above the LCL where the parcel is warmer than the
// environment, or -1; accumulates the negative energy of the levels before it.
int findWarmerLevel(SoundingStation& station, ParcelState& state, float thetaE, ParcelEnergyOutcome& outcome) {
    const SoundingLevel* levels = station.levels;
    for (int j = 0; j < station.levelCount; ++j) {
        const SoundingLevel& level = levels[j];
        if (!(level.pressure > 0 && level.pressure < station.lclPressure)) {
            continue;
        }
        const float parcel = parcelCelsius(level.pressure, thetaE);
        if (level.temperature < parcel) {
            return j;
        }
        const auto [environmentTheta, parcelTheta] =
            potentialTemperatures(level.temperature, parcel, level.pressure);
        const float parcelMean = layerMean(parcelTheta, state.parcelTheta);
        const float environmentMean = layerMean(environmentTheta, state.environmentTheta);
        if (environmentMean > parcelMean) {
            double lowerHeight = level.height;  // the surface level has no layer below it
            if (j > 0) {
                const float below = levels[j - 1].height;
                lowerHeight = (below >= 9999 && below < 10000) ? 0.0 : below;
            }
            state.negativeSum = addLayer(state.negativeSum, parcelMean, environmentMean,
                                         level.height - lowerHeight);
        }
        station.cin = state.negativeSum;
        outcome.cinBelowLfcSummed = true;
        state.environmentTheta = environmentTheta;
        state.parcelTheta = parcelTheta;
        state.lastHeight = level.height;
    }
    return -1;
}

// Where the parcel crosses the environment inside the layer between two levels.
struct LayerCrossing {
    float pressure;     // whole hPa
    float logPressure;  // logPressureRatio(pressure)
    float parcel;       // °C
    float environment;  // °C, interpolated in ln p
};

// The first whole hPa below the layer's lower level (and above its upper
// one) where `crosses` (environment, parcel) holds, if any.
template <typename Crosses>
std::optional<LayerCrossing> findCrossing(const LogPressureLayer& layer, float thetaE, Crosses crosses) {
    std::optional<LayerCrossing> found;
    scanWholeHectopascals(layer.lower(), layer.upper(), [&](float pressure) {
        const float parcel = parcelCelsius(pressure, thetaE);
        const float logPressure = logPressureRatio(pressure);
        const float environment = roundToFloat(layer.at(logPressure, &SoundingLevel::temperature));
        if (crosses(environment, parcel)) {
            found = LayerCrossing{pressure, logPressure, parcel, environment};
        }
        return found.has_value();
    });
    return found;
}

// The first whole hPa below level j − 1 where the parcel is warmer: the LFC.
void refineLfc(SoundingStation& station, int j, float thetaE) {
    const LogPressureLayer layer(station.levels[j - 1], station.levels[j]);
    const auto crossing =
        findCrossing(layer, thetaE, [](float environment, float parcel) { return environment < parcel; });
    if (crossing) {
        station.lfcPressure = crossing->pressure;
        station.lfcTemperature = crossing->environment;
        station.lfcHeight = roundToFloat(layer.at(crossing->logPressure, &SoundingLevel::height));
    }
}

// The layer from the last level examined up to the LFC closes the negative area.
void closeLayerAtLfc(SoundingStation& station, ParcelState& state, float lfcTheta) {
    const float parcelMean = layerMean(lfcTheta, state.parcelTheta);
    const float environmentMean = layerMean(lfcTheta, state.environmentTheta);
    if (environmentMean > parcelMean) {
        state.negativeSum = addLayer(state.negativeSum, parcelMean, environmentMean,
                                     static_cast<double>(station.lfcHeight) - state.lastHeight);
    }
    station.cin = state.negativeSum;
}

// The first whole hPa below level m − 1 where the parcel is colder: the EL,
// and the last partial layer of the positive area.
void refineEquilibriumLevel(SoundingStation& station, int m, float thetaE, float positiveSum,
                            const ParcelState& state) {
    const LogPressureLayer layer(station.levels[m - 1], station.levels[m]);
    const auto crossing =
        findCrossing(layer, thetaE, [](float environment, float parcel) { return environment > parcel; });
    if (!crossing) {
        return;
    }
    station.elPressure = crossing->pressure;
    const float height = roundToFloat(layer.at(crossing->logPressure, &SoundingLevel::height));
    const auto [environmentTheta, parcelTheta] =
        potentialTemperatures(crossing->environment, crossing->parcel, crossing->pressure);
    const float parcelMean = layerMean(parcelTheta, state.parcelTheta);
    const float environmentMean = layerMean(environmentTheta, state.environmentTheta);
    station.cape = addLayer(positiveSum, parcelMean, environmentMean,
                            static_cast<double>(height) - layer.lower().height);
}

// The positive area from the LFC up to the EL (sought above 500 hPa only).
Progress integratePositiveArea(SoundingStation& station, float thetaE, float lfcTheta) {
    const SoundingLevel* levels = station.levels;
    ParcelState state{};
    state.parcelTheta = lfcTheta;
    state.environmentTheta = lfcTheta;
    float positiveSum = 0;
    int count = 0;
    for (int m = 0; m < station.levelCount; ++m) {
        const SoundingLevel& level = levels[m];
        if (!(level.pressure < station.lfcPressure)) {
            continue;
        }
        ++count;
        const std::optional<float> parcelK = moistParcelTemperature(level.pressure, thetaE, true);
        if (!parcelK) {
            return Progress::End;
        }
        const float parcel = roundToFloat(static_cast<double>(*parcelK) - kKelvinOffset);
        if (level.temperature < parcel) {
            const auto [environmentTheta, parcelTheta] =
                potentialTemperatures(level.temperature, parcel, level.pressure);
            const float parcelMean = layerMean(parcelTheta, state.parcelTheta);
            const float environmentMean = layerMean(environmentTheta, state.environmentTheta);
            const double thickness = count == 1
                                         ? static_cast<double>(level.height) - station.lfcHeight
                                         : static_cast<double>(level.height) - levels[m - 1].height;
            positiveSum = addLayer(positiveSum, parcelMean, environmentMean, thickness);
            station.cape = positiveSum;
            state.parcelTheta = parcelTheta;
            state.environmentTheta = environmentTheta;
        }
        if (level.temperature > parcel && level.pressure < 500) {
            if (m == 0) {
                station.elPressure = 0;
            } else {
                refineEquilibriumLevel(station, m, thetaE, positiveSum, state);
            }
            return Progress::Continue;
        }
    }
    station.elPressure = 0;
    return Progress::Continue;
}

}  // namespace

ParcelEnergyOutcome computeParcelEnergy(SoundingStation& station, const ProgressSink& progress) {
    ParcelEnergyOutcome outcome;
    const SoundingLevel& surface = station.levels[0];
    if (station.lclPressure == 0) {
        return outcome;
    }
    ParcelState state{};
    state.surfaceTheta = potentialTemperature(surface.temperature, surface.pressure);
    state.parcelTheta = state.surfaceTheta;
    state.environmentTheta = state.surfaceTheta;
    state.lastHeight = surface.height;

    outcome.end = ParcelEnergyEnd::BrokenBelowLcl;
    if (integrateBelowLcl(station, state, outcome) == Progress::End) {
        return outcome;
    }
    closeLayerAtLcl(station, state);
    const float thetaE = parcelThetaE(station.lclTemperature, station.lclPressure);

    outcome.end = ParcelEnergyEnd::NoLfc;
    const int warmer = findWarmerLevel(station, state, thetaE, outcome);
    if (warmer < 0 || warmer == 0) {
        station.elPressure = 0;
    } else {
        refineLfc(station, warmer, thetaE);
    }
    if (station.lfcPressure < 1) {
        return outcome;
    }
    const float lfcTheta = potentialTemperature(station.lfcTemperature, station.lfcPressure);
    closeLayerAtLfc(station, state, lfcTheta);
    writeProgress(progress, "New Method ... NegEngBLFC end\n");

    outcome.end = ParcelEnergyEnd::TooWarm;
    if (station.lfcPressure > 1) {
        if (integratePositiveArea(station, thetaE, lfcTheta) == Progress::End) {
            return outcome;
        }
    }
    outcome.end = station.elPressure != 0 ? ParcelEnergyEnd::EquilibriumLevel : ParcelEnergyEnd::NoEquilibriumLevel;
    writeProgress(progress, "New Method ... EL end\n");

    const double windSquared = static_cast<double>(station.meanWindU) * station.meanWindU +
                               static_cast<double>(station.meanWindV) * station.meanWindV;
    if (station.cape > 1 && windSquared > 0) {
        station.bulkRichardson = roundToFloat(2 * static_cast<double>(station.cape) / windSquared);
        outcome.bulkRichardsonSet = true;
    }
    return outcome;
}

}  // namespace vivezeru5
