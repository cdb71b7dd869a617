// Wind barbs in a column beside the diagram: the staff points to where the
// wind blows from; a pennant is 50 knots, a full barb 10, a half barb 5.
#pragma once

#include <vector>

#include "skewt_profile.h"
#include "skewt_svg.h"

namespace vivezeru5::skewt {

// Draws one barb for each wind in `winds` that lies within the diagram, at
// `columnX`, leaving out a wind too close to the one drawn below it. Barbs are
// on the side of lower pressure: clockwise of the staff in the northern
// hemisphere, anticlockwise in the southern (`southern`).
void drawWindBarbs(SvgDocument& svg, const std::vector<WindPoint>& winds, double columnX, bool southern);

}  // namespace vivezeru5::skewt
