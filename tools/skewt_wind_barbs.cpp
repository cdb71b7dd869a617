#include "skewt_wind_barbs.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "skewt_geometry.h"

namespace vivezeru5::skewt {
namespace {

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;
constexpr double kStaffLength = 26;
constexpr double kBarbLength = 11;
constexpr double kBarbSpacing = 4;
constexpr double kPennantWidth = 6;
constexpr double kMinimumGap = 14;  // vertical distance between two barbs drawn
constexpr double kFeatherReach = 5;  // how far feathers reach past the staff's ends, vertically
constexpr double kCalmKnots = 2.5;
constexpr double kMaxKnots = 500;  // faster "winds" are errors in the file: no barb
constexpr double kDegrees = 3.14159265358979323846 / 180;

Point along(const Point& from, const Point& direction, double distance) {
    return {from.x + direction.x * distance, from.y + direction.y * distance};
}

// Appends a path command ('M' move, 'L' line) to `point`.
void pathTo(std::string& path, char command, const Point& point) {
    path += command;
    path += number(point.x);
    path += ',';
    path += number(point.y);
}

void segment(std::string& path, const Point& a, const Point& b) {
    pathTo(path, 'M', a);
    pathTo(path, 'L', b);
}

// The path of one barb: the staff from `base`, then pennants and barbs from
// its outer end inward.
std::string barbPath(const Point& base, double directionDegrees, double knots, bool southern) {
    // On the page y grows downward: north is (0, -1).
    const Point staff{std::sin(directionDegrees * kDegrees), -std::cos(directionDegrees * kDegrees)};
    const double side = southern ? -1 : 1;
    // Clockwise of the staff as seen on the page, tilted back toward the tip.
    const Point feather{side * -staff.y * 0.94 + staff.x * 0.34, side * staff.x * 0.94 + staff.y * 0.34};
    const Point tip = along(base, staff, kStaffLength);
    std::string path;
    segment(path, base, tip);

    long remaining = std::lround(knots / 5) * 5;
    double position = kStaffLength;
    for (; remaining >= 50; remaining -= 50) {
        const Point start = along(base, staff, position);
        const Point end = along(base, staff, position - kPennantWidth);
        const Point outer = along(start, feather, kBarbLength);
        pathTo(path, 'M', start);
        pathTo(path, 'L', outer);
        pathTo(path, 'L', end);
        path += 'Z';
        position -= kPennantWidth + 1;
    }
    bool first = true;
    for (; remaining >= 10; remaining -= 10) {
        const Point start = along(base, staff, position);
        segment(path, start, along(start, feather, kBarbLength));
        position -= kBarbSpacing;
        first = false;
    }
    if (remaining >= 5) {
        // A lone half barb stands a little in from the tip, so it is not read as a full one.
        if (first && position == kStaffLength) {
            position -= kBarbSpacing;
        }
        const Point start = along(base, staff, position);
        segment(path, start, along(start, feather, kBarbLength / 2));
    }
    return path;
}

// The page's vertical extent of a barb at `y`: its staff, from the base
// toward where the wind comes from, with room for the feathers.
struct VerticalExtent {
    double top;
    double bottom;
};

VerticalExtent extentOf(double y, double directionDegrees) {
    const double tip = y - kStaffLength * std::cos(directionDegrees * kDegrees);
    return {std::min(y, tip) - kFeatherReach, std::max(y, tip) + kFeatherReach};
}

}  // namespace

void drawWindBarbs(SvgDocument& svg, const std::vector<WindPoint>& winds, double columnX, bool southern) {
    svg.comment("wind barbs (knots)");
    svg.open("g", {{"id", "wind-barbs"}});
    svg.element("line", {{"class", "barb-axis"},
                         {"x1", number(columnX)},
                         {"y1", number(DiagramFrame::kTop)},
                         {"x2", number(columnX)},
                         {"y2", number(DiagramFrame::bottom())}});
    // Barbs are drawn from the bottom up; one that would overlap the barb
    // drawn below it (a dense low-level jet) is left out.
    double lastY = INFINITY;
    double lastTop = INFINITY;
    for (const WindPoint& wind : winds) {
        if (!DiagramFrame::spans(wind.pressure)) {
            continue;
        }
        const double y = DiagramFrame::y(wind.pressure);
        const double knots = wind.speed * kKnotsPerMetrePerSecond;
        const VerticalExtent extent = extentOf(y, wind.direction);
        const bool calm = knots < kCalmKnots;
        if (lastY - y < kMinimumGap || (!calm && extent.bottom > lastTop) || !(knots <= kMaxKnots)) {
            continue;
        }
        lastY = y;
        lastTop = calm ? y - kFeatherReach : extent.top;
        if (calm) {
            svg.element("circle", {{"class", "barb calm"}, {"cx", number(columnX)}, {"cy", number(y)}, {"r", "3.0"}});
            continue;
        }
        svg.element("path", {{"class", "barb"}, {"d", barbPath({columnX, y}, wind.direction, knots, southern)}});
    }
    svg.close();
}

}  // namespace vivezeru5::skewt
