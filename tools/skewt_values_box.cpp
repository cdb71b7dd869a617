#include "skewt_values_box.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "derived_values.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5::skewt {
namespace {

constexpr double kWidth = 330;
constexpr double kValueRight = 232;  // right edge of the values; the flags follow
constexpr double kRowHeight = 15;
constexpr double kNoteLineHeight = 12;
constexpr double kPadding = 8;
constexpr std::size_t kNoteLineLength = 62;  // characters of a note's line at its font size

static_assert(kDerivedCount == cli::kDerivedCount);

std::string valueText(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (value == VIVEZERU5_MISSING) {
        return "--";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

// `text` broken at blanks into lines of at most `length` characters (a longer
// word stands on a line of its own).
std::vector<std::string> wrapped(std::string_view text, std::size_t length) {
    std::vector<std::string> lines;
    std::string line;
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        const std::string_view word = text.substr(0, blank);
        text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
        if (!line.empty() && line.size() + 1 + word.size() > length) {
            lines.push_back(line);
            line.clear();
        }
        if (!line.empty()) {
            line += ' ';
        }
        line += word;
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

void drawRow(SvgDocument& svg, double left, double y, int slot, float value, const ShownFlag& shown) {
    const cli::DerivedValueName& name = cli::kDerivedValueNames[slot];
    const std::string& flag = shown.name;
    const char* rowClass = flag.empty() ? "derived" : shown.meaningless ? "derived flagged meaningless" : "derived flagged";
    svg.open("g", {{"class", rowClass}, {"data-slot", std::to_string(slot + 1)}});
    svg.textElement("text", {{"class", "derived-name"}, {"x", number(left)}, {"y", number(y)}}, name.label);
    std::string text = valueText(value);
    if (*name.unit != '\0') {
        text += std::string(" ") + name.unit;
    }
    svg.textElement("text", {{"class", "derived-value"}, {"x", number(left + kValueRight)}, {"y", number(y)}}, text);
    if (!flag.empty()) {
        svg.textElement("text", {{"class", "flag"}, {"x", number(left + kValueRight + 5)}, {"y", number(y)}}, flag);
    }
    svg.close();
}

// Height the flags' meanings take: a line for each flag, then its meaning.
double notesHeight(const std::vector<FlagNote>& notes) {
    double height = 0;
    for (const FlagNote& note : notes) {
        height += kRowHeight + kNoteLineHeight * static_cast<double>(wrapped(note.meaning, kNoteLineLength).size());
    }
    return height;
}

// The flags' meanings, from `y` down.
void drawNotes(SvgDocument& svg, double left, double y, const std::vector<FlagNote>& notes) {
    for (const FlagNote& note : notes) {
        y += kRowHeight;
        svg.open("g", {{"class", "flag-meaning"}});
        svg.textElement("text", {{"class", "flag"}, {"x", number(left)}, {"y", number(y)}}, note.flag);
        for (const std::string& line : wrapped(note.meaning, kNoteLineLength)) {
            y += kNoteLineHeight;
            svg.textElement("text", {{"class", "flag-text"}, {"x", number(left + 8)}, {"y", number(y)}}, line);
        }
        svg.close();
    }
}

}  // namespace

void drawValuesBox(SvgDocument& svg, double left, double top, const float* derived, const DerivedFlags& flags,
                   const std::vector<FlagNote>& notes) {
    svg.comment("derived values and their quality flags");
    svg.open("g", {{"id", "derived-box"}, {"class", "box"}});
    const bool withNotes = derived != nullptr && !notes.empty();
    const int rows = derived != nullptr ? kDerivedCount : 1;
    const double height =
        kPadding * 2 + kRowHeight * (rows + 1) + (withNotes ? kRowHeight * 1.5 + notesHeight(notes) : 0);
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
    if (withNotes) {
        y += kRowHeight / 2;
        svg.textElement("text", {{"class", "box-title"}, {"x", number(x)}, {"y", number(y)}}, "Flags");
        drawNotes(svg, x, y, notes);
    }
    svg.close();
}

}  // namespace vivezeru5::skewt
