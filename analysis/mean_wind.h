// Density-weighted mean wind of a sounding.
#pragma once

#include "records/sounding_station.h"

namespace vivezeru5 {

// Averages the wind of every level of `station`, each weighted by its air
// density p·100 / ((T + 273.16)·287) kg/m³, and writes meanWindU (−s·sin dir),
// meanWindV (s·cos dir), meanWindSpeed and meanWindDirection — the direction
// the mean wind blows from, in (0, 360], 0 when calm. A station without levels,
// or whose weights do not sum to a positive value (every temperature missing),
// gets direction and speed 0 and keeps its components.
void computeMeanWind(SoundingStation& station);

}  // namespace vivezeru5
