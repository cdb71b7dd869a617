#include "skewt_geometry.h"

#include <cmath>

namespace vivezeru5::skewt {

double DiagramFrame::y(double pressure) {
    return kTop + kHeight * std::log(pressure / kTopPressure) / std::log(kBottomPressure / kTopPressure);
}

Point DiagramFrame::at(double celsius, double pressure) {
    const double y0 = y(pressure);
    const double perKelvin = kWidth / (kRightCelsius - kLeftCelsius);
    // The skew: one unit to the right for every unit up, so isotherms rise at 45°.
    return {kLeft + (celsius - kLeftCelsius) * perKelvin + (bottom() - y0), y0};
}

}  // namespace vivezeru5::skewt
