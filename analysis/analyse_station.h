// The per-station analysis run by the analysing readers.
#pragma once

#include "readers/sounding_records.h"

namespace vivezeru5 {

// Analyses `station`, which has at least one level (the first being the
// surface), in a fixed order: standard levels, freezing level, K, total totals
// and SWEAT; surface lifted index and Showalter index; LCL pressure and
// temperature; mean wind; parcel energy. Later steps read what earlier steps
// stored in the station.
void analyseStation(SoundingStation& station);

}  // namespace vivezeru5
