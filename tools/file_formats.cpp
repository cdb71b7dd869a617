#include "file_formats.h"

#include <string>

namespace vivezeru5::cli {
namespace {

constexpr FileFormat kFormats[] = {FileFormat::Type5, FileFormat::Type5Plain, FileFormat::Rozedu,
                                   FileFormat::Surface};

const char* describe(FileFormat format) {
    switch (format) {
        case FileFormat::Type5:
            return "type-5 soundings, integer levels, analysed";
        case FileFormat::Type5Plain:
            return "type-5 soundings, levels read as decimals, not analysed";
        case FileFormat::Rozedu:
            return "characteristic-level soundings, analysed";
        case FileFormat::Surface:
            return "type-1 surface reports";
    }
    return "";
}

FormatTraits traitsFromLibrary(FileFormat format) {
    const int number = static_cast<int>(format);
    return FormatTraits{format,
                        vivezeru5_format_name(number),
                        vivezeru5_format_reader(number),
                        describe(format),
                        format != FileFormat::Surface,
                        vivezeru5_format_analysed(number) != 0};
}

}  // namespace

const FormatTraits& traitsOf(FileFormat format) {
    static const FormatTraits kTraits[] = {traitsFromLibrary(kFormats[0]), traitsFromLibrary(kFormats[1]),
                                           traitsFromLibrary(kFormats[2]), traitsFromLibrary(kFormats[3])};
    for (const FormatTraits& traits : kTraits) {
        if (traits.format == format) {
            return traits;
        }
    }
    return kTraits[0];
}

std::optional<FileFormat> formatNamed(std::string_view name) {
    const int format = vivezeru5_format_named(std::string(name).c_str());
    if (format == 0) {
        return std::nullopt;
    }
    return static_cast<FileFormat>(format);
}

std::string formatNames() {
    std::string names;
    for (const FileFormat format : kFormats) {
        if (!names.empty()) {
            names += ", ";
        }
        names += traitsOf(format).optionName;
    }
    return names;
}

}  // namespace vivezeru5::cli
