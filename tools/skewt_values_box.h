// The box beside the diagram that lists a station's 19 derived values, each
// with its quality flag, and says what the flags shown mean.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "skewt_svg.h"

namespace vivezeru5::skewt {

inline constexpr int kDerivedCount = 19;

// The quality flag of a derived value: its name (empty for none), and
// whether the value then means nothing (drawn greyed) rather than carrying a
// caveat.
struct ShownFlag {
    std::string name;
    bool meaningless = false;
};

// One flag per derived value, in slot order.
using DerivedFlags = std::array<ShownFlag, kDerivedCount>;

// What a flag shown in the box means.
struct FlagNote {
    std::string flag;
    std::string meaning;
};

// Draws the box with its top-left corner at (`left`, `top`). `derived` is the
// station's 19 values, or null for a format the library does not analyse;
// `notes` explain the flags that occur in `flags`.
void drawValuesBox(SvgDocument& svg, double left, double top, const float* derived, const DerivedFlags& flags,
                   const std::vector<FlagNote>& notes);

}  // namespace vivezeru5::skewt
