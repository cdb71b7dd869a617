// The mean wind of a sounding: every level's wind, weighted by its air
// density.
#pragma once

#include "straightforward/records.h"

namespace vivezeru5::straightforward {

// Writes meanWindU, meanWindV, meanWindSpeed and meanWindDirection (degrees,
// where the mean wind blows from, above 0 up to 360; 0 for a calm).
void computeMeanWind(SoundingStation& station);

}  // namespace vivezeru5::straightforward
