#include "analysis/analyse_station.h"

#include "analysis/lifted_indices.h"
#include "analysis/lifting_condensation_level.h"
#include "analysis/mean_wind.h"
#include "analysis/parcel_energy.h"
#include "analysis/standard_levels.h"
#include "readers/sounding_records.h"

namespace vivezeru5 {

void analyseStation(SoundingStation& station) {
    const SoundingLevel& surface = station.levels[0];

    const StandardLevelValues standard = analyseStandardLevels(station);

    station.liftedIndex = computeLiftedIndex(surface.dewPoint, surface.temperature,
                                             surface.pressure, standard.T500);
    station.showalterIndex = computeShowalter(standard.Td850, standard.T850, 850, standard.T500);

    station.lclPressure = computeLclPressure(surface.temperature, surface.dewPoint, surface.pressure);
    station.lclTemperature =
        computeLclTemperature(surface.temperature, surface.pressure, station.lclPressure);

    computeMeanWind(station);
    computeParcelEnergy(station);
}

}  // namespace vivezeru5
