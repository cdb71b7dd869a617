#include "skewt_diagram.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "skewt_background.h"
#include "skewt_parcel_areas.h"
#include "skewt_profile.h"
#include "skewt_wind_barbs.h"

namespace vivezeru5::skewt {
namespace {

using Frame = DiagramFrame;

constexpr double kPageWidth = 1120;
constexpr double kPageHeight = 760;
constexpr double kBarbColumn = Frame::right() + 42;
constexpr double kBoxLeft = Frame::right() + 85;
const char* const kClipId = "plot-area";

// Slots (from 0) of the derived values the diagram draws.
enum Slot { kLclPressure = 6, kLclTemperature = 7, kLfcPressure = 12, kLfcTemperature = 13, kElPressure = 15 };

constexpr const char* kStyle = R"(
text { font-family: DejaVu Sans, Arial, sans-serif; font-size: 11px; fill: #222; }
.title { font-size: 16px; font-weight: bold; }
.subtitle { font-size: 12px; fill: #444; }
.plot-frame { fill: none; stroke: #222; stroke-width: 1; }
.isobar { stroke: #999; stroke-width: 0.7; }
.isotherm { stroke: #b0b0b0; stroke-width: 0.7; }
.isotherm-zero { stroke: #4a7bd0; stroke-width: 1.1; }
.dry-adiabat { fill: none; stroke: #d9a066; stroke-width: 0.7; }
.moist-adiabat { fill: none; stroke: #6bb36b; stroke-width: 0.7; stroke-dasharray: 6 3; }
.mixing-ratio { fill: none; stroke: #a77bc9; stroke-width: 0.7; stroke-dasharray: 2 3; }
.mixing-ratio-label { font-size: 9px; fill: #7d4fa3; text-anchor: middle; }
.axis-label { font-size: 11px; }
.pressure-label { text-anchor: end; }
.temperature-label { text-anchor: middle; }
.axis-title { font-size: 12px; }
.cape { fill: #e8603c; fill-opacity: 0.35; stroke: none; }
.cin { fill: #3c6ee8; fill-opacity: 0.25; stroke: none; }
.cin.no-lfc { fill-opacity: 0.10; }
.temperature { fill: none; stroke: #d62020; stroke-width: 2.2; stroke-linejoin: round; }
.dewpoint { fill: none; stroke: #1d8a2a; stroke-width: 2.2; stroke-linejoin: round; }
.parcel { fill: none; stroke: #111; stroke-width: 1.6; stroke-dasharray: 7 4; }
.marker line { stroke: #111; stroke-width: 1.5; }
.marker circle { fill: #111; }
.marker text { font-size: 11px; font-weight: bold; }
.barb-axis { stroke: #bbb; stroke-width: 0.7; }
.barb { fill: #111; stroke: #111; stroke-width: 1.2; }
.barb.calm { fill: none; }
.box-frame { fill: #fbfbf8; stroke: #444; stroke-width: 1; }
.box-title { font-weight: bold; }
.derived-value { text-anchor: end; }
.meaningless .derived-value { fill: #999; }
.flag { fill: #b3261e; font-style: italic; }
.flag-text { fill: #444; font-size: 10px; }
.legend line { stroke-width: 2; }
)";

void drawFrameAndTitles(SvgDocument& svg, const StationDiagram& station) {
    svg.textElement("style", {}, kStyle);
    svg.open("defs", {});
    svg.open("clipPath", {{"id", kClipId}});
    svg.element("rect", {{"x", number(Frame::kLeft)},
                         {"y", number(Frame::kTop)},
                         {"width", number(Frame::kWidth)},
                         {"height", number(Frame::kHeight)}});
    svg.close();
    svg.close();
    svg.element("rect", {{"width", number(kPageWidth)}, {"height", number(kPageHeight)}, {"fill", "white"}});
    svg.textElement("text", {{"class", "title"}, {"x", number(Frame::kLeft)}, {"y", "24.0"}}, station.title);
    svg.textElement("text", {{"class", "subtitle"}, {"x", number(Frame::kLeft)}, {"y", "44.0"}}, station.subtitle);
    svg.textElement("text", {{"class", "axis-title"},
                             {"x", number(Frame::kLeft + Frame::kWidth / 2)},
                             {"y", number(Frame::bottom() + 34)},
                             {"text-anchor", "middle"}},
                    "temperature (°C)");
    svg.textElement("text", {{"class", "axis-title"},
                             {"x", "16.0"},
                             {"y", number(Frame::kTop + Frame::kHeight / 2)},
                             {"text-anchor", "middle"},
                             {"transform", "rotate(-90 16.0 " + number(Frame::kTop + Frame::kHeight / 2) + ")"}},
                    "pressure (hPa)");
}

void drawLine(SvgDocument& svg, const char* id, const std::vector<ProfilePoint>& series) {
    std::vector<Point> points;
    for (const ProfilePoint& point : series) {
        points.push_back(Frame::at(point.value, point.pressure));
    }
    if (points.size() >= 2) {
        svg.element("polyline", {{"id", id}, {"class", id}, {"points", pointList(points)}});
    }
}

void drawAreas(SvgDocument& svg, const std::string& name, const std::string& className,
               const std::vector<std::vector<Point>>& areas) {
    svg.open("g", {{"id", name + "-area"}, {"clip-path", std::string("url(#") + kClipId + ")"}});
    for (const std::vector<Point>& outline : areas) {
        svg.element("polygon", {{"class", className}, {"points", pointList(outline)}});
    }
    svg.close();
}

// A marked level of the parcel: a dot on the curve and a tick labelled with
// `name` and the pressure; `id` names it in the document.
void drawMarker(SvgDocument& svg, const std::string& id, const char* name, double celsius, double pressure,
                bool labelLeft) {
    if (!Frame::spans(pressure)) {
        return;
    }
    const Point at = Frame::at(celsius, pressure);
    const double direction = labelLeft ? -1 : 1;
    char label[64];
    std::snprintf(label, sizeof label, "%s %.0f hPa", name, pressure);
    svg.open("g", {{"id", id + "-marker"}, {"class", "marker " + id}});
    svg.element("circle", {{"cx", number(at.x)}, {"cy", number(at.y)}, {"r", "3.0"}});
    svg.element("line", {{"x1", number(at.x + direction * 5)},
                         {"y1", number(at.y)},
                         {"x2", number(at.x + direction * 22)},
                         {"y2", number(at.y)}});
    svg.textElement("text", {{"x", number(at.x + direction * 25)},
                             {"y", number(at.y + 4)},
                             {"text-anchor", labelLeft ? "end" : "start"}},
                    label);
    svg.close();
}

// The lifted surface parcel beside the sounding, with the levels the block
// reports for it.
struct LiftedView {
    LiftedParcel parcel;
    std::vector<ParcelSample> samples;
    float lcl;
    std::optional<float> lfc;
    std::optional<float> el;
};

std::optional<LiftedView> liftParcel(const StationDiagram& station, const Profile& profile) {
    const float* derived = station.derived;
    const float* surface = station.levels;
    const float lcl = derived[kLclPressure];
    if (station.levelCount == 0 || !isUsable(surface[0]) || surface[0] <= 0 || !isUsable(surface[2]) ||
        !isUsable(lcl) || lcl <= 0 || !isUsable(derived[kLclTemperature])) {
        return std::nullopt;
    }
    std::optional<float> lfc;
    std::optional<float> el;
    if (isUsable(derived[kLfcPressure]) && derived[kLfcPressure] >= 1) {
        lfc = derived[kLfcPressure];
        if (isUsable(derived[kElPressure]) && derived[kElPressure] > 0) {
            el = derived[kElPressure];
        }
    }
    std::vector<double> marks{lcl};
    for (const auto& mark : {lfc, el}) {
        if (mark) {
            marks.push_back(*mark);
        }
    }
    LiftedParcel parcel(surface[0], surface[2], lcl, derived[kLclTemperature]);
    std::vector<ParcelSample> samples = sampleParcel(parcel, profile, marks);
    if (samples.empty()) {
        return std::nullopt;
    }
    return LiftedView{parcel, std::move(samples), lcl, lfc, el};
}

// CIN from the surface up to the LFC, CAPE from the LFC up to the EL (without
// one, as far as the analysis adds it). Without an LFC the analysis's CIN is
// the negative area of the whole sounding: it is shaded, more faintly.
void drawEnergyAreas(SvgDocument& svg, const LiftedView& lifted) {
    const std::vector<ParcelSample>& samples = lifted.samples;
    const double top = samples.back().pressure;
    drawAreas(svg, "cin", lifted.lfc ? "cin" : "cin no-lfc",
              areasBetween(samples, samples.front().pressure, lifted.lfc.value_or(top), false));
    if (lifted.lfc) {
        const double capeTop = lifted.el ? *lifted.el : positiveAreaTop(samples, *lifted.lfc);
        drawAreas(svg, "cape", "cape", areasBetween(samples, *lifted.lfc, capeTop, true));
    }
}

void drawParcelPath(SvgDocument& svg, const StationDiagram& station, const LiftedView& lifted) {
    std::vector<Point> path;
    for (const ParcelSample& sample : lifted.samples) {
        path.push_back(Frame::at(sample.parcel, sample.pressure));
    }
    svg.element("polyline", {{"id", "parcel"},
                             {"class", "parcel"},
                             {"clip-path", std::string("url(#") + kClipId + ")"},
                             {"points", pointList(path)}});
    drawMarker(svg, "lcl", "LCL", station.derived[kLclTemperature], lifted.lcl, true);
    if (lifted.lfc) {
        drawMarker(svg, "lfc", "LFC", station.derived[kLfcTemperature], *lifted.lfc, false);
    }
    if (lifted.el) {
        drawMarker(svg, "el", "EL", lifted.parcel.celsiusAt(*lifted.el), *lifted.el, false);
    }
}

void legendEntry(SvgDocument& svg, double x, double y, const char* className, const char* text, bool area) {
    if (area) {
        svg.element("rect", {{"class", className}, {"x", number(x)}, {"y", number(y - 8)}, {"width", "24.0"},
                             {"height", "10.0"}});
    } else {
        svg.element("line", {{"class", className}, {"x1", number(x)}, {"y1", number(y - 4)}, {"x2", number(x + 24)},
                             {"y2", number(y - 4)}});
    }
    svg.textElement("text", {{"x", number(x + 30)}, {"y", number(y)}}, text);
}

// The legend, listing the parcel and the energy areas only when they are drawn.
void drawLegend(SvgDocument& svg, bool parcelDrawn) {
    svg.open("g", {{"id", "legend"}, {"class", "legend"}});
    const double x = kBoxLeft;
    double y = Frame::bottom() - 105;
    legendEntry(svg, x, y, "temperature", "temperature", false);
    legendEntry(svg, x + 150, y, "dewpoint", "dew point", false);
    y += 17;
    if (parcelDrawn) {
        legendEntry(svg, x, y, "parcel", "lifted surface parcel", false);
    }
    legendEntry(svg, x + 150, y, "dry-adiabat", "dry adiabat", false);
    y += 17;
    legendEntry(svg, x, y, "moist-adiabat", "moist adiabat", false);
    legendEntry(svg, x + 150, y, "mixing-ratio", "mixing ratio (g/kg)", false);
    y += 17;
    if (parcelDrawn) {
        legendEntry(svg, x, y, "cape", "CAPE area", true);
        legendEntry(svg, x + 150, y, "cin", "CIN area", true);
    }
    y += 17;
    svg.textElement("text", {{"class", "flag-text"}, {"x", number(x)}, {"y", number(y)}},
                    "Wind barbs in knots: pennant 50, barb 10, half barb 5.");
    y += 13;
    svg.textElement("text", {{"class", "flag-text"}, {"x", number(x)}, {"y", number(y)}},
                    "Heights in dam above sea level.");
    svg.close();
}

}  // namespace

std::string drawStationDiagram(const StationDiagram& station) {
    SvgDocument svg(kPageWidth, kPageHeight);
    drawFrameAndTitles(svg, station);
    drawBackground(svg, kClipId);
    const Profile profile(station.levels, station.levelCount);
    std::optional<LiftedView> lifted;
    if (station.derived != nullptr) {
        lifted = liftParcel(station, profile);
    }
    if (lifted) {
        svg.comment("areas of negative (CIN) and positive (CAPE) energy of the lifted surface parcel");
        drawEnergyAreas(svg, *lifted);
    }
    drawBackgroundLabels(svg);
    svg.comment("the sounding");
    svg.open("g", {{"id", "profiles"}, {"clip-path", std::string("url(#") + kClipId + ")"}});
    drawLine(svg, "temperature", profile.temperatures());
    drawLine(svg, "dewpoint", profile.dewpoints());
    svg.close();
    if (lifted) {
        svg.comment("the lifted surface parcel and its LCL, LFC and EL");
        drawParcelPath(svg, station, *lifted);
    }
    svg.element("rect", {{"class", "plot-frame"},
                         {"x", number(Frame::kLeft)},
                         {"y", number(Frame::kTop)},
                         {"width", number(Frame::kWidth)},
                         {"height", number(Frame::kHeight)}});
    drawWindBarbs(svg, profile.winds(), kBarbColumn, station.latitude < 0);
    drawValuesBox(svg, kBoxLeft, Frame::kTop, station.derived, station.flags, station.notes);
    drawLegend(svg, lifted.has_value());
    return svg.finish();
}

}  // namespace vivezeru5::skewt
