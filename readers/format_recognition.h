// Which of the four formats a file is, from its first tokens:
//   an integer first                 -> characteristic-level (rozedu);
//   a word, then data type 5         -> type-5, read as decimals (type5-plain)
//                                       when a level value of the first station
//                                       with levels is written with a fraction
//                                       or an exponent;
//   a word, then data type 1         -> type-1 surface reports.
// Only the first station with levels decides between the two type-5 readers:
// a stray word or number further on does not change how the file is read.
// Recognition reads as the readers read, so it stops where they stop (a word
// longer than 1 MiB ends it).
#pragma once

#include <optional>

#include "readers/file_format.h"

namespace vivezeru5 {

struct Recognition {
    bool opened = false;              // false: the file cannot be opened or read
    int openError = 0;                // errno when it cannot
    std::optional<FileFormat> format;  // nothing when no rule applies
};

Recognition recogniseFile(const char* path);

}  // namespace vivezeru5
