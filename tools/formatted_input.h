// A cursor over a file's text that converts tokens the way the C library's
// formatted input ("%d", "%f", "%s") does: leading blanks are skipped, a
// conversion takes the longest prefix that forms a number, and a failed
// conversion leaves the text where it stood. The readers take their files this
// way, so walking a file with this cursor tells which of its values a reader
// converted and where its reading stopped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vivezeru5::cli {

class FormattedInput {
public:
    explicit FormattedInput(std::string_view text) : text_(text) {}

    std::optional<std::int32_t> readInteger();  // "%d"
    std::optional<double> readReal();           // "%f"
    bool readWord();                            // "%s"

    // Skips blanks; true when nothing but blanks is left.
    bool atEnd();
    std::size_t position() const { return position_; }
    void moveTo(std::size_t position) { position_ = position; }

    // The blank-delimited token that starts at `position` (at most `limit` characters).
    std::string_view tokenAt(std::size_t position, std::size_t limit = 40) const;
    // Line number (from 1) of `position`.
    std::size_t lineOf(std::size_t position) const;

private:
    void skipBlanks();
    char peek(std::size_t offset = 0) const;
    std::size_t digitsFrom(std::size_t at, bool hex) const;
    std::size_t matchWord(std::size_t at, std::string_view word) const;

    std::string_view text_;
    std::size_t position_ = 0;
};

}  // namespace vivezeru5::cli
