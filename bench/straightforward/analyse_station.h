// The analysis of one sounding, run by the analysing readers on every
// station with levels as soon as its levels are read.
#pragma once

#include <string>

#include "straightforward/records.h"

namespace vivezeru5::straightforward {

// In this order: the standard-level indices and freezing level, the lifted
// and Showalter indices, the condensation level, the mean wind and the parcel
// energy, each writing its fields of the station. Progress lines go to
// `progress` (dropped when null). The station has at least one level.
void analyseStation(SoundingStation& station, std::string* progress);

}  // namespace vivezeru5::straightforward
