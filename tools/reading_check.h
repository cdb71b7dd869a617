// Validity of a reading: what a file declares compared with what its reader
// returned. The readers end quietly where a file stops making sense, so a
// truncated file or a corrupted station header gives a block that looks whole.
// The check walks the file's tokens the way the format is read and reports
//   - declared versus read stations (type-5 and surface files declare a count),
//   - declared versus converted level values of each station,
//   - a type-5 value count that is not a multiple of six,
//   - text left after the reading ended.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "blocks.h"
#include "file_formats.h"

namespace vivezeru5::cli {

// One sentence per problem, in file order, naming the station where there is
// one; empty when the file was read whole. `view` is the block the reader of
// `format` returned for a file holding `text`.
std::vector<std::string> checkReading(std::string_view text, FileFormat format, const BlockView& view);

}  // namespace vivezeru5::cli
