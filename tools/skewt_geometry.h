// Where a temperature at a pressure lies on the skew-T log-p diagram: height on
// the page linear in ln p, isotherms skewed 45° to the right.
#pragma once

namespace vivezeru5::skewt {

struct Point {
    double x;
    double y;
};

class DiagramFrame {
public:
    // The plotting area: its top-left corner and size in SVG units.
    static constexpr double kLeft = 70;
    static constexpr double kTop = 60;
    static constexpr double kWidth = 620;
    static constexpr double kHeight = 640;
    // Pressures of the bottom and top edges (hPa), temperatures (°C) of the
    // bottom corners.
    static constexpr double kBottomPressure = 1050;
    static constexpr double kTopPressure = 100;
    static constexpr double kLeftCelsius = -40;
    static constexpr double kRightCelsius = 50;

    static constexpr double right() { return kLeft + kWidth; }
    static constexpr double bottom() { return kTop + kHeight; }

    // Vertical position of `pressure` (hPa).
    static double y(double pressure);

    // Position of `celsius` at `pressure`.
    static Point at(double celsius, double pressure);

    // Whether `pressure` lies between the bottom and top edges.
    static bool spans(double pressure) { return pressure <= kBottomPressure && pressure >= kTopPressure; }
};

}  // namespace vivezeru5::skewt
