// Floats of a block written as text.
#pragma once

#include <optional>
#include <string>

#include "blocks.h"

namespace vivezeru5::cli {

// Value `field` (0 pressure ... 5 speed) of a level as it is shown: a height
// of 9999, the levels' mark of a missing height, is the missing value.
float shownLevelValue(const float* level, int field);

// The year a tool shows for a year the file writes with two digits, by the
// POSIX %y rule: 69 to 99 are 1969 to 1999, 0 to 68 are 2000 to 2068.
int shownTwoDigitYear(int written);

// The shortest decimal that reads back as the same 32-bit float ("36.12",
// "-9999", "1e+20"); "nan", "inf" or "-inf" for the values that are no number.
std::string shortestText(float value);

// A station id: a whole number without decimals, anything else as %g.
std::string identifierText(float value);

// "YYYY-MM-DDTHH:00" when the four values form a date and hour with a
// four-digit year; nothing otherwise (the characteristic-level format carries
// no date, and a surface file's two-digit year names no century).
std::optional<std::string> isoTime(const ObservationTime& time);

bool isWholeIn(float value, float low, float high);

}  // namespace vivezeru5::cli
