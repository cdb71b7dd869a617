#include "skewt_svg.h"

#include <cmath>
#include <cstdio>

namespace vivezeru5::skewt {
namespace {

// Length of the well-formed UTF-8 sequence that starts `text`, or 0.
std::size_t utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || (lead >= 0xF5) || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// Text as XML character data: markup characters escaped, and every byte that
// XML does not allow (control characters, broken UTF-8, as a file name may
// hold) replaced by '?', so that the document stays well-formed.
void appendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = utf8SequenceLength(text.substr(i));
            if (length == 0) {
                out += '?';
            } else {
                out.append(text.substr(i, length));
                i += length - 1;
            }
            continue;
        }
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\t': case '\n': out += ' '; break;
            default: out += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
        }
    }
}

}  // namespace

std::string number(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string result = text;
    if (result == "-0.0") {
        result = "0.0";
    }
    return result;
}

std::string pointList(const std::vector<Point>& points) {
    std::string result;
    for (const Point& point : points) {
        if (!result.empty()) {
            result += ' ';
        }
        result += number(point.x);
        result += ',';
        result += number(point.y);
    }
    return result;
}

SvgDocument::SvgDocument(double width, double height) {
    text_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    startTag("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
                     {"width", number(width)},
                     {"height", number(height)},
                     {"viewBox", "0 0 " + number(width) + " " + number(height)}});
    text_ += ">\n";
    open_.emplace_back("svg");
}

void SvgDocument::indent() { text_.append(2 * open_.size(), ' '); }

void SvgDocument::startTag(std::string_view name, Attributes attributes) {
    indent();
    text_ += '<';
    text_ += name;
    for (const auto& [key, value] : attributes) {
        text_ += ' ';
        text_ += key;
        text_ += "=\"";
        appendEscaped(text_, value);
        text_ += '"';
    }
}

void SvgDocument::open(std::string_view name, Attributes attributes) {
    startTag(name, attributes);
    text_ += ">\n";
    open_.emplace_back(name);
}

void SvgDocument::close() {
    if (open_.empty()) {
        return;
    }
    const std::string name = open_.back();
    open_.pop_back();
    indent();
    text_ += "</" + name + ">\n";
}

void SvgDocument::element(std::string_view name, Attributes attributes) {
    startTag(name, attributes);
    text_ += "/>\n";
}

void SvgDocument::textElement(std::string_view name, Attributes attributes, std::string_view text) {
    startTag(name, attributes);
    text_ += '>';
    appendEscaped(text_, text);
    text_ += "</";
    text_ += name;
    text_ += ">\n";
}

void SvgDocument::comment(std::string_view text) {
    indent();
    text_ += "<!-- ";
    // "--" may not appear inside a comment.
    for (std::size_t i = 0; i < text.size(); ++i) {
        text_ += text[i];
        if (text[i] == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            text_ += ' ';
        }
    }
    text_ += " -->\n";
}

std::string SvgDocument::finish() {
    while (!open_.empty()) {
        close();
    }
    return text_;
}

}  // namespace vivezeru5::skewt
