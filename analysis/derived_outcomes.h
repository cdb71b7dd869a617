// The outcome of each derived value, from what the analysis steps report
// (where the freezing search ended, how far the parcel energy went) and the
// values they used. Computed only when a caller asks for it.
#pragma once

#include "analysis/parcel_energy.h"
#include "analysis/standard_levels.h"
#include "records/derived_outcome.h"
#include "records/sounding_station.h"

namespace vivezeru5 {

StationOutcomes classifyDerivedValues(const SoundingStation& station, const StandardLevelValues& standard,
                                      const ParcelEnergyOutcome& parcel);

}  // namespace vivezeru5
