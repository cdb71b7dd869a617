// A small writer of SVG documents: elements with escaped attributes and text,
// coordinates with one decimal, so that the same drawing gives the same bytes.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "skewt_geometry.h"

namespace vivezeru5::skewt {

using Attributes = std::initializer_list<std::pair<std::string_view, std::string>>;

// A coordinate or length with one decimal, never "-0.0".
std::string number(double value);

// "x1,y1 x2,y2 …" for the points attribute of a polyline or polygon.
std::string pointList(const std::vector<Point>& points);

class SvgDocument {
public:
    SvgDocument(double width, double height);

    // <name attributes…>, closed by close().
    void open(std::string_view name, Attributes attributes);
    void close();

    // <name attributes…/>
    void element(std::string_view name, Attributes attributes);

    // <name attributes…>text</name>
    void textElement(std::string_view name, Attributes attributes, std::string_view text);

    // A comment naming a part of the drawing, for people reading the file.
    void comment(std::string_view text);

    // The document, every open element closed.
    std::string finish();

private:
    void startTag(std::string_view name, Attributes attributes);
    void indent();

    std::string text_;
    std::vector<std::string> open_;
};

}  // namespace vivezeru5::skewt
