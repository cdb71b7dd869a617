#include "skewt_values_box.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

namespace vivezeru5::skewt {
namespace {

constexpr double kWidth = 300;
constexpr double kRowHeight = 15;
constexpr double kPadding = 8;

struct Row {
    const char* label;
    const char* unit;
};

constexpr Row kRows[kDerivedCount] = {
    {"Freezing level height", "dam"},
    {"Freezing level pressure", "hPa"},
    {"K index", "°C"},
    {"Total totals", "°C"},
    {"SWEAT index", ""},
    {"Showalter index", "K"},
    {"LCL pressure", "hPa"},
    {"LCL temperature", "°C"},
    {"LCL height", "dam"},
    {"Mean wind direction", "°"},
    {"Mean wind speed", "m/s"},
    {"Surface lifted index", "K"},
    {"LFC pressure", "hPa"},
    {"LFC temperature", "°C"},
    {"LFC height", "dam"},
    {"EL pressure", "hPa"},
    {"CAPE", "J/kg"},
    {"CIN", "J/kg"},
    {"Bulk Richardson number", ""},
};

struct FlagMeaning {
    std::string_view flag;
    const char* meaning;
};

constexpr FlagMeaning kMeanings[] = {
    {"missing_level", "uses an 850/700/500 hPa or surface value the sounding lacks"},
    {"nan", "not a number"},
    {"no_lfc", "no LFC: negative area of the whole sounding above the LCL"},
    {"el_not_found", "energy accumulated, but no EL was found"},
    {"not_reached", "0 because the analysis ended before it"},
};

std::string valueText(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (value == -9999.0f) {
        return "--";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

void drawRow(SvgDocument& svg, double left, double y, int slot, float value, const std::string& flag) {
    const Row& row = kRows[slot];
    std::string className = "derived";
    if (!flag.empty()) {
        className += " flagged";
    }
    svg.open("g", {{"class", className}, {"data-slot", std::to_string(slot + 1)}});
    svg.textElement("text", {{"class", "derived-name"}, {"x", number(left)}, {"y", number(y)}}, row.label);
    std::string text = valueText(value);
    if (*row.unit != '\0') {
        text += std::string(" ") + row.unit;
    }
    svg.textElement("text", {{"class", "derived-value"}, {"x", number(left + 205)}, {"y", number(y)}}, text);
    if (!flag.empty()) {
        svg.textElement("text", {{"class", "flag"}, {"x", number(left + 210)}, {"y", number(y)}}, flag);
    }
    svg.close();
}

}  // namespace

void drawValuesBox(SvgDocument& svg, double left, double top, const float* derived, const DerivedFlags& flags) {
    svg.comment("derived values and their quality flags");
    svg.open("g", {{"id", "derived-box"}, {"class", "box"}});
    std::vector<const FlagMeaning*> shown;
    for (const FlagMeaning& meaning : kMeanings) {
        if (derived != nullptr && std::find(flags.begin(), flags.end(), meaning.flag) != flags.end()) {
            shown.push_back(&meaning);
        }
    }
    const int rows = derived != nullptr ? kDerivedCount : 1;
    const double height =
        kPadding * 2 + kRowHeight * (rows + 1) + (shown.empty() ? 0 : kRowHeight * (shown.size() + 1.5));
    svg.element("rect", {{"class", "box-frame"},
                         {"x", number(left)},
                         {"y", number(top)},
                         {"width", number(kWidth)},
                         {"height", number(height)}});
    const double x = left + kPadding;
    double y = top + kPadding + kRowHeight - 3;
    svg.textElement("text", {{"class", "box-title"}, {"x", number(x)}, {"y", number(y)}}, "Derived values");
    y += kRowHeight;
    if (derived == nullptr) {
        svg.textElement("text", {{"class", "derived-none"}, {"x", number(x)}, {"y", number(y)}},
                        "not analysed: this format carries no derived values");
        svg.close();
        return;
    }
    for (int slot = 0; slot < kDerivedCount; ++slot) {
        drawRow(svg, x, y, slot, derived[slot], flags[slot]);
        y += kRowHeight;
    }
    if (!shown.empty()) {
        y += kRowHeight / 2;
        svg.textElement("text", {{"class", "box-title"}, {"x", number(x)}, {"y", number(y)}}, "Flags");
        for (const FlagMeaning* meaning : shown) {
            y += kRowHeight;
            svg.open("g", {{"class", "flag-meaning"}});
            svg.textElement("text", {{"class", "flag"}, {"x", number(x)}, {"y", number(y)}}, meaning->flag);
            svg.textElement("text", {{"class", "flag-text"}, {"x", number(x + 80)}, {"y", number(y)}},
                            meaning->meaning);
            svg.close();
        }
    }
    svg.close();
}

}  // namespace vivezeru5::skewt
