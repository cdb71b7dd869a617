#include "analysis/analyse_station.h"

#include "analysis/derived_outcomes.h"
#include "analysis/lifted_indices.h"
#include "analysis/lifting_condensation_level.h"
#include "analysis/mean_wind.h"
#include "analysis/parcel_energy.h"
#include "analysis/standard_levels.h"

namespace vivezeru5 {

void analyseStation(SoundingStation& station, const ProgressSink& progress, StationOutcomes* outcomes) {
    const SoundingLevel& surface = station.levels[0];

    const StandardLevelValues standard = analyseStandardLevels(station);

    station.liftedIndex = computeLiftedIndex(surface.dewPoint, surface.temperature,
                                             surface.pressure, standard.T500);
    station.showalterIndex = computeShowalter(standard.Td850, standard.T850, 850, standard.T500);

    station.lclPressure = computeLclPressure(surface.temperature, surface.dewPoint, surface.pressure);
    station.lclTemperature =
        computeLclTemperature(surface.temperature, surface.pressure, station.lclPressure);

    computeMeanWind(station);
    const ParcelEnergyOutcome parcel = computeParcelEnergy(station, progress);
    if (outcomes != nullptr) {
        *outcomes = classifyDerivedValues(station, standard, parcel);
    }
}

}  // namespace vivezeru5
