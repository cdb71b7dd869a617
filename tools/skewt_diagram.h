// The skew-T log-p diagram of one station as an SVG document: reference
// lines, temperature and dew point, the lifted surface parcel with its LCL,
// LFC and EL, the CAPE and CIN areas, wind barbs and the derived values.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "skewt_values_box.h"

namespace vivezeru5::skewt {

struct StationDiagram {
    std::string title;     // first line above the diagram
    std::string subtitle;  // second line
    const float* levels = nullptr;  // levelCount rows of six values, as in the block
    std::size_t levelCount = 0;
    const float* derived = nullptr;  // the 19 derived values, or null
    float latitude = 0;
    DerivedFlags flags;
    std::vector<FlagNote> notes;  // what the flags in `flags` mean
};

std::string drawStationDiagram(const StationDiagram& station);

}  // namespace vivezeru5::skewt
