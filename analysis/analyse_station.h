// The per-station analysis run by the analysing readers.
#pragma once

#include "records/derived_outcome.h"
#include "records/progress_sink.h"
#include "records/sounding_station.h"

namespace vivezeru5 {

// Analyses `station`, which has at least one level (the first being the
// surface), in a fixed order: standard levels, freezing level, K, total totals
// and SWEAT; surface lifted index and Showalter index; LCL pressure and
// temperature; mean wind; parcel energy. Later steps read what earlier steps
// stored in the station. The parcel energy's progress lines go to
// `progress`; when `outcomes` is given, it receives
// what the analysis reached for each derived value.
void analyseStation(SoundingStation& station, const ProgressSink& progress, StationOutcomes* outcomes);

// As the exported readers analyse: progress lines on standard output.
inline void analyseStation(SoundingStation& station) { analyseStation(station, standardOutputSink(), nullptr); }

}  // namespace vivezeru5
