#include "readers/file_format.h"

namespace vivezeru5 {
namespace {

constexpr FormatTraits kFormats[] = {
    {FileFormat::Type5, "type5", "readVelmorData5", true},
    {FileFormat::Type5Plain, "type5-plain", "readVelmor5Only", false},
    {FileFormat::Rozedu, "rozedu", "readRozeduData", true},
    {FileFormat::Surface, "surface", "ReadVelmorData1", false},
};

}  // namespace

const FormatTraits* formatTraits(int format) {
    for (const FormatTraits& traits : kFormats) {
        if (static_cast<int>(traits.format) == format) {
            return &traits;
        }
    }
    return nullptr;
}

std::optional<FileFormat> formatNamed(std::string_view name) {
    for (const FormatTraits& traits : kFormats) {
        if (name == traits.name) {
            return traits.format;
        }
    }
    return std::nullopt;
}

}  // namespace vivezeru5
