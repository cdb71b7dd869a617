#include "skewt_background.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "skewt_thermodynamics.h"

namespace vivezeru5::skewt {
namespace {

using Frame = DiagramFrame;

constexpr double kIsobars[] = {1000, 925, 850, 700, 600, 500, 400, 300, 250, 200, 150, 100};
// Mixing-ratio lines (g/kg), drawn in the lower troposphere where they matter.
constexpr double kMixingRatios[] = {0.4, 1, 2, 4, 7, 10, 16, 24};
constexpr double kMixingRatioTop = 600;
// Moist adiabats by the temperature (°C) at which they cross 1000 hPa.
constexpr double kMoistAdiabatFirst = -20;
constexpr double kMoistAdiabatLast = 36;
constexpr double kMoistAdiabatStep = 4;
constexpr double kMoistAdiabatTop = 200;

std::string integerText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

std::string decimalText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, value < 1 ? "%.1f" : "%.0f", value);
    return text;
}

// A curve temperature(p) from `bottom` up to `top`, sampled in ln p.
std::vector<Point> curve(double bottom, double top, const std::function<double(double)>& celsiusAt) {
    constexpr int kSegments = 48;
    std::vector<Point> points;
    const double step = std::log(bottom / top) / kSegments;
    for (int i = 0; i <= kSegments; ++i) {
        const double pressure = bottom * std::exp(-step * i);
        points.push_back(Frame::at(celsiusAt(pressure), pressure));
    }
    return points;
}

void polyline(SvgDocument& svg, const std::string& className, const std::vector<Point>& points) {
    svg.element("polyline", {{"class", className}, {"points", pointList(points)}});
}

void drawIsobars(SvgDocument& svg) {
    svg.open("g", {{"id", "isobars"}});
    for (const double pressure : kIsobars) {
        const double y = Frame::y(pressure);
        svg.element("line", {{"class", "isobar"},
                             {"x1", number(Frame::kLeft)},
                             {"y1", number(y)},
                             {"x2", number(Frame::right())},
                             {"y2", number(y)}});
        svg.textElement("text", {{"class", "axis-label pressure-label"},
                                 {"x", number(Frame::kLeft - 6)},
                                 {"y", number(y + 4)}},
                        integerText(pressure));
    }
    svg.close();
}

void drawIsotherms(SvgDocument& svg, const std::string& clip) {
    svg.open("g", {{"id", "isotherms"}, {"clip-path", "url(#" + clip + ")"}});
    // Far enough left that the skewed lines still fill the top-left corner.
    for (double celsius = -140; celsius <= Frame::kRightCelsius; celsius += 10) {
        const Point bottom = Frame::at(celsius, Frame::kBottomPressure);
        const Point top = Frame::at(celsius, Frame::kTopPressure);
        svg.element("line", {{"class", celsius == 0 ? "isotherm isotherm-zero" : "isotherm"},
                             {"x1", number(bottom.x)},
                             {"y1", number(bottom.y)},
                             {"x2", number(top.x)},
                             {"y2", number(top.y)}});
    }
    svg.close();
    svg.open("g", {{"id", "isotherm-labels"}});
    for (double celsius = Frame::kLeftCelsius; celsius <= Frame::kRightCelsius; celsius += 10) {
        const Point bottom = Frame::at(celsius, Frame::kBottomPressure);
        svg.textElement("text", {{"class", "axis-label temperature-label"},
                                 {"x", number(bottom.x)},
                                 {"y", number(bottom.y + 16)}},
                        integerText(celsius));
    }
    svg.close();
}

void drawDryAdiabats(SvgDocument& svg, const std::string& clip) {
    svg.open("g", {{"id", "dry-adiabats"}, {"clip-path", "url(#" + clip + ")"}});
    for (double theta = 240; theta <= 480; theta += 10) {
        polyline(svg, "dry-adiabat", curve(Frame::kBottomPressure, Frame::kTopPressure, [theta](double pressure) {
                     return dryAdiabatCelsius(theta, pressure);
                 }));
    }
    svg.close();
}

void drawMoistAdiabats(SvgDocument& svg, const std::string& clip) {
    svg.open("g", {{"id", "moist-adiabats"}, {"clip-path", "url(#" + clip + ")"}});
    for (double celsius = kMoistAdiabatFirst; celsius <= kMoistAdiabatLast; celsius += kMoistAdiabatStep) {
        const float thetaE = equivalentPotentialTemperature(static_cast<float>(celsius), 1000.0f);
        polyline(svg, "moist-adiabat", curve(Frame::kBottomPressure, kMoistAdiabatTop, [thetaE](double pressure) {
                     return moistAdiabatCelsius(thetaE, static_cast<float>(pressure));
                 }));
    }
    svg.close();
}

void drawMixingRatios(SvgDocument& svg, const std::string& clip) {
    svg.open("g", {{"id", "mixing-ratios"}, {"clip-path", "url(#" + clip + ")"}});
    for (const double ratio : kMixingRatios) {
        polyline(svg, "mixing-ratio", curve(Frame::kBottomPressure, kMixingRatioTop, [ratio](double pressure) {
                     return mixingRatioCelsius(ratio, pressure);
                 }));
    }
    svg.close();
}

}  // namespace

void drawBackgroundLabels(SvgDocument& svg) {
    svg.open("g", {{"id", "mixing-ratio-labels"}});
    for (const double ratio : kMixingRatios) {
        const Point top = Frame::at(mixingRatioCelsius(ratio, kMixingRatioTop), kMixingRatioTop);
        if (top.x > Frame::kLeft && top.x < Frame::right()) {
            svg.textElement("text", {{"class", "mixing-ratio-label"}, {"x", number(top.x)}, {"y", number(top.y - 3)}},
                            decimalText(ratio));
        }
    }
    svg.close();
}

void drawBackground(SvgDocument& svg, const std::string& clipId) {
    svg.comment("reference lines");
    drawIsobars(svg);
    drawIsotherms(svg, clipId);
    drawDryAdiabats(svg, clipId);
    drawMoistAdiabats(svg, clipId);
    drawMixingRatios(svg, clipId);
}

}  // namespace vivezeru5::skewt
