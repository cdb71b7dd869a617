// The file formats the tool reads, as the companion library names them, and
// what the tool says of each.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vivezeru5/vivezeru5_reading.h"

namespace vivezeru5::cli {

enum class FileFormat {
    Type5 = VIVEZERU5_FORMAT_TYPE5,            // type-5 soundings, integer levels (analysed)
    Type5Plain = VIVEZERU5_FORMAT_TYPE5_PLAIN,  // type-5 soundings, decimal levels (not analysed)
    Rozedu = VIVEZERU5_FORMAT_ROZEDU,           // characteristic-level soundings (analysed)
    Surface = VIVEZERU5_FORMAT_SURFACE,         // type-1 surface reports
};

struct FormatTraits {
    FileFormat format;
    const char* optionName;   // value of --format
    const char* readerName;   // the library function that reads it
    const char* description;  // for people
    bool isSounding;          // sounding block (header of six) rather than surface block
    bool analysed;            // the block carries the 19 derived values per station
};

const FormatTraits& traitsOf(FileFormat format);

// The format named by a --format value, or nothing for an unknown name.
std::optional<FileFormat> formatNamed(std::string_view name);

// Comma-separated list of the --format values, for messages.
std::string formatNames();

}  // namespace vivezeru5::cli
