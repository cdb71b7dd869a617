#include "analysis/derived_outcomes.h"

#include <cmath>
#include <initializer_list>

#include "analysis/lifting_condensation_level.h"
#include "analysis/parcel_path.h"

namespace vivezeru5 {
namespace {

using Outcome = DerivedOutcome;

bool anyMissing(std::initializer_list<float> values) {
    for (const float value : values) {
        if (value == kMissingValue) {
            return true;
        }
    }
    return false;
}

bool missingHeight(float height) { return height == kMissingHeight || height == kMissingValue; }

bool surfaceMissing(const SoundingLevel& surface) {
    return anyMissing({surface.pressure, surface.temperature, surface.dewPoint});
}

// The mean wind takes the pressure, temperature and wind of every level.
bool meanWindInputMissing(const SoundingStation& station) {
    for (int i = 0; i < station.levelCount; ++i) {
        const SoundingLevel& level = station.levels[i];
        if (anyMissing({level.pressure, level.temperature, level.windDirection, level.windSpeed})) {
            return true;
        }
    }
    return false;
}

// Whether the inputs of each slot include a missing value.
std::array<bool, kDerivedValues> missingInputs(const SoundingStation& station, const StandardLevelValues& s) {
    std::array<bool, kDerivedValues> missing{};
    const SoundingLevel& surface = station.levels[0];
    const int freezing = s.freezingLevel;
    if (freezing >= 0) {
        const SoundingLevel& upper = station.levels[freezing];
        const bool heightMissing =
            missingHeight(upper.height) || (freezing > 0 && missingHeight(station.levels[freezing - 1].height));
        missing[VIVEZERU5_FREEZING_PRESSURE] = upper.temperature == kMissingValue;
        missing[VIVEZERU5_FREEZING_HEIGHT] = missing[VIVEZERU5_FREEZING_PRESSURE] || heightMissing;
    }
    const bool totals = anyMissing({s.T850, s.Td850, s.T500});
    missing[VIVEZERU5_K_INDEX] = totals || anyMissing({s.T700, s.Td700});
    missing[VIVEZERU5_TOTAL_TOTALS] = totals;
    missing[VIVEZERU5_SWEAT_INDEX] = totals || anyMissing({s.dir850, s.speed850, s.dir500, s.speed500});
    missing[VIVEZERU5_SHOWALTER_INDEX] = totals;
    missing[VIVEZERU5_MEAN_WIND_DIRECTION] = missing[VIVEZERU5_MEAN_WIND_SPEED] = meanWindInputMissing(station);
    const bool parcel = surfaceMissing(surface);
    missing[VIVEZERU5_LIFTED_INDEX] = parcel || s.T500 == kMissingValue;
    for (const int slot : {VIVEZERU5_LCL_PRESSURE, VIVEZERU5_LCL_TEMPERATURE, VIVEZERU5_LCL_HEIGHT,
                           VIVEZERU5_LFC_PRESSURE, VIVEZERU5_LFC_TEMPERATURE, VIVEZERU5_LFC_HEIGHT,
                           VIVEZERU5_EL_PRESSURE, VIVEZERU5_CAPE, VIVEZERU5_CIN, VIVEZERU5_BULK_RICHARDSON}) {
        missing[slot] = parcel;
    }
    return missing;
}

bool lfcFound(ParcelEnergyEnd end) {
    return end == ParcelEnergyEnd::TooWarm || end == ParcelEnergyEnd::NoEquilibriumLevel ||
           end == ParcelEnergyEnd::EquilibriumLevel;
}

bool endedBeforeLfcSearch(ParcelEnergyEnd end) {
    return end == ParcelEnergyEnd::NoLcl || end == ParcelEnergyEnd::BrokenBelowLcl;
}

// The outcome of a parcel-energy slot that holds a number, from how far the
// analysis went.
Outcome parcelOutcome(int slot, const SoundingStation& station, const ParcelEnergyOutcome& parcel) {
    switch (slot) {
        case VIVEZERU5_LCL_HEIGHT:
            return parcel.lclHeightSet ? Outcome::Computed : Outcome::NotReached;
        case VIVEZERU5_LFC_PRESSURE:
        case VIVEZERU5_LFC_TEMPERATURE:
        case VIVEZERU5_LFC_HEIGHT:
            return lfcFound(parcel.end) ? Outcome::Computed : Outcome::NotReached;
        case VIVEZERU5_EL_PRESSURE:
            return parcel.end == ParcelEnergyEnd::EquilibriumLevel ? Outcome::Computed : Outcome::NotReached;
        case VIVEZERU5_CAPE:
            // Without an LFC there is no positive area: CAPE 0 is the answer.
            if (endedBeforeLfcSearch(parcel.end)) {
                return Outcome::NotReached;
            }
            return lfcFound(parcel.end) && parcel.end != ParcelEnergyEnd::EquilibriumLevel && station.cape != 0
                       ? Outcome::NoEquilibriumLevel
                       : Outcome::Computed;
        case VIVEZERU5_CIN:
            if (parcel.end == ParcelEnergyEnd::NoLfc) {
                return parcel.cinBelowLfcSummed ? Outcome::WholeSoundingCin : Outcome::NotReached;
            }
            return endedBeforeLfcSearch(parcel.end) ? Outcome::NotReached : Outcome::Computed;
        default:
            return parcel.bulkRichardsonSet ? Outcome::Computed : Outcome::NotReached;
    }
}

// Temperature (°C) at 500 hPa of the parcel of `celsius` at `pressure`
// whose LCL is given, lifted as the parcel energy lifts it: to its LCL on
// the dry adiabat, above on the moist adiabat of its θE.
double parcelAt500(float celsius, float pressure, float lclPressure, float lclCelsius) {
    return liftedParcelCelsius(liftSurfaceParcel(pressure, celsius, lclPressure, lclCelsius), 500.0);
}

bool oppositeSigns(double a, double b) { return (a > 0 && b < 0) || (a < 0 && b > 0); }

// Whether a one-step index and the environment minus its parcel's path at
// 500 hPa disagree in sign.
bool parcelDisagrees(float index, float t500, double parcel500) {
    return oppositeSigns(index, static_cast<double>(t500) - parcel500);
}

bool liftedIndexDisagrees(const SoundingStation& station, const StandardLevelValues& s) {
    const SoundingLevel& surface = station.levels[0];
    const double parcel = parcelAt500(surface.temperature, surface.pressure, station.lclPressure,
                                      station.lclTemperature);
    return parcelDisagrees(station.liftedIndex, s.T500, parcel);
}

bool showalterDisagrees(const SoundingStation& station, const StandardLevelValues& s) {
    const float lclPressure = computeLclPressure(s.T850, s.Td850, 850);
    const float lclCelsius = computeLclTemperature(s.T850, 850, lclPressure);
    const double parcel = parcelAt500(s.T850, 850, lclPressure, lclCelsius);
    return parcelDisagrees(station.showalterIndex, s.T500, parcel);
}

// The outcome of a slot whose inputs are all there and whose value is a number.
Outcome outcomeOfNumber(int slot, const SoundingStation& station, const StandardLevelValues& s,
                        const ParcelEnergyOutcome& parcel) {
    switch (slot) {
        case VIVEZERU5_FREEZING_HEIGHT:
        case VIVEZERU5_FREEZING_PRESSURE:
            return s.freezingLevel < 0 ? Outcome::NotReached : Outcome::Computed;
        case VIVEZERU5_SHOWALTER_INDEX:
            return showalterDisagrees(station, s) ? Outcome::ParcelDisagrees : Outcome::Computed;
        case VIVEZERU5_LIFTED_INDEX:
            return liftedIndexDisagrees(station, s) ? Outcome::ParcelDisagrees : Outcome::Computed;
        case VIVEZERU5_K_INDEX:
        case VIVEZERU5_TOTAL_TOTALS:
        case VIVEZERU5_SWEAT_INDEX:
        case VIVEZERU5_LCL_PRESSURE:
        case VIVEZERU5_LCL_TEMPERATURE:
        case VIVEZERU5_MEAN_WIND_DIRECTION:
        case VIVEZERU5_MEAN_WIND_SPEED:
            return Outcome::Computed;
        default:
            return parcelOutcome(slot, station, parcel);
    }
}

bool isIndexOfStandardLevels(int slot) {
    return slot == VIVEZERU5_K_INDEX || slot == VIVEZERU5_TOTAL_TOTALS || slot == VIVEZERU5_SWEAT_INDEX;
}

bool isFlagged(Outcome outcome) { return outcome != Outcome::Computed; }

// A value formed from a flagged value carries its flag: the energies from
// the LCL, the bulk Richardson number from CAPE and the mean wind.
void inheritFlags(StationOutcomes& outcomes) {
    const Outcome lcl = isFlagged(outcomes[VIVEZERU5_LCL_PRESSURE]) ? outcomes[VIVEZERU5_LCL_PRESSURE]
                                                                   : outcomes[VIVEZERU5_LCL_TEMPERATURE];
    for (int slot = VIVEZERU5_LFC_PRESSURE; slot <= VIVEZERU5_BULK_RICHARDSON; ++slot) {
        if (isFlagged(lcl) && !isFlagged(outcomes[slot])) {
            outcomes[slot] = lcl;
        }
    }
    if (outcomes[VIVEZERU5_BULK_RICHARDSON] == Outcome::Computed) {
        for (const int source : {VIVEZERU5_CAPE, VIVEZERU5_MEAN_WIND_SPEED}) {
            if (isFlagged(outcomes[source])) {
                outcomes[VIVEZERU5_BULK_RICHARDSON] = outcomes[source];
                break;
            }
        }
    }
}

}  // namespace

StationOutcomes classifyDerivedValues(const SoundingStation& station, const StandardLevelValues& standard,
                                      const ParcelEnergyOutcome& parcel) {
    StationOutcomes outcomes{};
    const std::array<bool, kDerivedValues> missing = missingInputs(station, standard);
    const std::array<float, kDerivedValues> values = derivedValuesOf(station);
    // K, total totals and SWEAT are formed only over a surface below 900 hPa.
    const bool indicesFormed = station.levels[0].pressure > 900.0f;
    for (int slot = 0; slot < kDerivedValues; ++slot) {
        if (isIndexOfStandardLevels(slot) && !indicesFormed) {
            outcomes[slot] = Outcome::NotReached;
        } else if (missing[slot]) {
            outcomes[slot] = Outcome::MissingLevel;
        } else if (std::isnan(values[slot])) {
            outcomes[slot] = Outcome::NotANumber;
        } else {
            outcomes[slot] = outcomeOfNumber(slot, station, standard, parcel);
        }
    }
    inheritFlags(outcomes);
    return outcomes;
}

}  // namespace vivezeru5
