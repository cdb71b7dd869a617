#include "straightforward/analyse_station.h"

#include "straightforward/lifted_indices.h"
#include "straightforward/lifting_condensation_level.h"
#include "straightforward/mean_wind.h"
#include "straightforward/parcel_energy.h"
#include "straightforward/standard_levels.h"

namespace vivezeru5::straightforward {

void analyseStation(SoundingStation& station, std::string* progress) {
    const StandardLevelValues standard = analyseStandardLevels(station);
    const SoundingLevel& surface = station.levels[0];
    station.liftedIndex = computeLiftedIndex(surface.dewPoint, surface.temperature, surface.pressure, standard.t500);
    station.showalterIndex = computeShowalter(standard.td850, standard.t850, 850.0f, standard.t500);
    station.lclPressure = computeLclPressure(surface.temperature, surface.dewPoint, surface.pressure);
    station.lclTemperature = lclTemperatureAt(station.lclPressure, surface.temperature, surface.pressure);
    computeMeanWind(station);
    computeParcelEnergy(station, progress);
}

}  // namespace vivezeru5::straightforward
