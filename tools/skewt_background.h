// The reference lines of the skew-T diagram: isobars, skewed isotherms, dry
// and moist adiabats and mixing-ratio lines, with their labels.
#pragma once

#include "skewt_svg.h"

namespace vivezeru5::skewt {

// Draws the reference lines into `svg`, clipped to the plotting area by the
// clip path `clipId`.
void drawBackground(SvgDocument& svg, const std::string& clipId);

// The labels of the background's lines (the mixing ratios), drawn after the
// shaded energy areas so that no shading hides them.
void drawBackgroundLabels(SvgDocument& svg);

}  // namespace vivezeru5::skewt
