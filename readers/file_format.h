// The four file formats, the reader of each and their names.
#pragma once

#include <optional>
#include <string_view>

#include "vivezeru5/vivezeru5_reading.h"

namespace vivezeru5 {

enum class FileFormat {
    Type5 = VIVEZERU5_FORMAT_TYPE5,            // type-5 soundings, integer levels: readVelmorData5 (analysed)
    Type5Plain = VIVEZERU5_FORMAT_TYPE5_PLAIN,  // type-5 soundings, decimal levels: readVelmor5Only
    Rozedu = VIVEZERU5_FORMAT_ROZEDU,           // characteristic-level soundings: readRozeduData (analysed)
    Surface = VIVEZERU5_FORMAT_SURFACE,         // type-1 surface reports: ReadVelmorData1
};

struct FormatTraits {
    FileFormat format;
    const char* name;        // type5, type5-plain, rozedu, surface
    const char* readerName;  // the exported function that reads it
    bool analysed;           // the block carries the 19 derived values per station
};

// The traits of a format number, or null for a number that names none.
const FormatTraits* formatTraits(int format);

// The format of a short name, if it is one.
std::optional<FileFormat> formatNamed(std::string_view name);

}  // namespace vivezeru5
