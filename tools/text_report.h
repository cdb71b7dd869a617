// The readable table that `vivezeru5 show` prints for one file.
#pragma once

#include <cstdio>

#include "file_reading.h"

namespace vivezeru5::cli {

// The file, its format and time, then per station its id, position, elevation,
// level table and, for the analysed formats, the derived values; a flagged
// value carries a mark, and a footnote under the station says why.
void printTextReport(std::FILE* out, const FileReading& reading);

// The block itself, one float a line (%.9g), as far as the block's header
// says it reaches.
void printBlock(std::FILE* out, const FileReading& reading);

}  // namespace vivezeru5::cli
