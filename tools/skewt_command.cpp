#include "skewt_command.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "file_reading.h"
#include "station_choice.h"
#include "skewt_diagram.h"
#include "value_text.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5::skewt {
namespace {

using cli::FileFormat;
using cli::kExitNoData;
using cli::kExitOk;
using cli::kExitUsage;
using cli::SoundingStationView;


constexpr const char* kHelp =
    "Draws one station of a sounding file as a skew-T log-p diagram (SVG):\n"
    "temperature, dew point, the lifted surface parcel with its LCL, LFC and\n"
    "EL, the CAPE and CIN areas, wind barbs and the derived values with their\n"
    "quality flags.\n"
    "\n"
    "options:\n"
    "  -s, --station ID  the station to draw (default: the first in the file)\n"
    "  --sounding N      the sounding at place N of the file (from 0), for an id\n"
    "                    that occurs more than once\n"
    "  -f, --format F    read the file as F instead of recognising it\n"
    "                    (type5, type5-plain, rozedu)\n"
    "  -o, --output OUT  write the SVG to OUT instead of standard output\n"
    "  -h, --help        this help\n"
    "\n"
    "exit status: 0 drawn, 3 drawn but the file was read with problems (named\n"
    "on standard error), 1 the file or station cannot be drawn, 2 usage error\n";

struct Arguments {
    std::string path;
    std::optional<FileFormat> format;
    cli::StationChoice choice;
    std::optional<std::string> output;
};

int usageError(const std::string& message) {
    std::fprintf(stderr, "vivezeru5: %s\nusage: %s\n", message.c_str(), kSkewTSynopsis);
    return kExitUsage;
}

int failure(const std::string& path, const std::string& message) {
    std::fprintf(stderr, "vivezeru5: %s: %s\n", path.c_str(), message.c_str());
    return kExitNoData;
}

// The value of an option given as "--name VALUE", "--name=VALUE" or "-n VALUE".
std::optional<std::string> optionValue(int argc, char** argv, int& i, std::string_view longName) {
    const std::string_view argument = argv[i];
    if (argument.size() > longName.size() && argument.starts_with(longName) && argument[longName.size()] == '=') {
        return std::string(argument.substr(longName.size() + 1));
    }
    if (argument.size() <= longName.size() && i + 1 < argc) {
        return std::string(argv[++i]);
    }
    return std::nullopt;
}

bool isOption(std::string_view argument, std::string_view shortName, std::string_view longName) {
    return argument == shortName || argument == longName ||
           (argument.starts_with(longName) && argument.size() > longName.size() && argument[longName.size()] == '=');
}

std::optional<int> parseArguments(int argc, char** argv, Arguments& arguments) {
    int files = 0;
    bool onlyFiles = false;
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (onlyFiles || argument.empty() || argument[0] != '-' || argument == "-") {
            arguments.path = argument;
            ++files;
        } else if (argument == "--") {
            onlyFiles = true;
        } else if (isOption(argument, "-s", "--station")) {
            const std::optional<std::string> id = optionValue(argc, argv, i, "--station");
            arguments.choice.id = id ? cli::stationIdNamed(*id) : std::nullopt;
            if (!arguments.choice.id) {
                return usageError(std::string(argument) + " needs a station id");
            }
        } else if (isOption(argument, "", "--sounding")) {
            const std::optional<std::string> number = optionValue(argc, argv, i, "--sounding");
            arguments.choice.sounding = number ? cli::soundingNumbered(*number) : std::nullopt;
            if (!arguments.choice.sounding) {
                return usageError(std::string(argument) + " needs the place of a sounding in the file, from 0");
            }
        } else if (isOption(argument, "-f", "--format")) {
            const std::optional<std::string> name = optionValue(argc, argv, i, "--format");
            arguments.format = name ? cli::formatNamed(*name) : std::nullopt;
            if (!arguments.format) {
                return usageError(name ? "unknown format '" + *name + "' (formats: " + cli::formatNames() + ")"
                                       : std::string(argument) + " needs a format: " + cli::formatNames());
            }
        } else if (isOption(argument, "-o", "--output")) {
            arguments.output = optionValue(argc, argv, i, "--output");
            if (!arguments.output || arguments.output->empty()) {
                return usageError(std::string(argument) + " needs a file name");
            }
        } else {
            return usageError("unknown option '" + std::string(argument) + "'");
        }
    }
    if (files != 1) {
        return usageError(files == 0 ? "no file given" : "one file at a time");
    }
    return std::nullopt;
}

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string title(const SoundingStationView& station, const cli::ObservationTime& time) {
    const std::optional<std::string> iso = cli::isoTime(time);
    return "Station " + cli::identifierText(station.id) + ", " +
           (iso ? iso->substr(0, 10) + " " + iso->substr(11) + " UTC" : std::string("observation time not given"));
}

// A path as the subtitle has room for it: its last 48 characters after "...".
std::string shortenedPath(const std::string& path) {
    constexpr std::size_t kShown = 48;
    return path.size() <= kShown ? path : "..." + path.substr(path.size() - kShown);
}

std::string subtitle(const SoundingStationView& station, FileFormat format, const std::string& path) {
    std::string text = "lat " + formatted("%.2f", station.latitude) + ", lon " + formatted("%.2f", station.longitude);
    if (format != FileFormat::Rozedu && station.elevation != VIVEZERU5_MISSING) {
        text += ", elevation " + formatted("%.0f", station.elevation) + " m";
    }
    return text + ", " + std::to_string(station.levelCount) + " levels; " + shortenedPath(path) + " (" +
           cli::traitsOf(format).optionName + ")";
}

// The flags' names, and what each flag that occurs means, in the order flags are tested.
void describeFlags(const cli::StationFlags& flags, StationDiagram& diagram) {
    for (int slot = 0; slot < kDerivedCount; ++slot) {
        diagram.flags[slot] = {std::string(cli::flagName(flags[slot])), cli::flagMeansNothing(flags[slot])};
    }
    for (const cli::QualityFlag flag : cli::kAllFlags) {
        if (std::find(flags.begin(), flags.end(), flag) != flags.end()) {
            diagram.notes.push_back({std::string(cli::flagName(flag)), std::string(cli::flagReason(flag))});
        }
    }
}

bool writeText(const std::string& text, const std::optional<std::string>& output, std::FILE* standardOutput) {
    if (!output) {
        return std::fwrite(text.data(), 1, text.size(), standardOutput) == text.size() &&
               std::fflush(standardOutput) == 0;
    }
    std::FILE* file = std::fopen(output->c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

int draw(const Arguments& arguments, cli::FileReading& reading, std::FILE* standardOutput) {
    const std::size_t stations = reading.view.soundings.size();
    if (arguments.choice.any()) {
        if (const auto message = cli::keepChosenStation(reading, arguments.choice)) {
            return failure(arguments.path, *message);
        }
    }
    if (reading.view.soundings.empty()) {
        return failure(arguments.path, "no station in the file");
    }
    const SoundingStationView& station = reading.view.soundings.front();
    StationDiagram diagram;
    diagram.title = title(station, reading.view.time);
    diagram.subtitle = subtitle(station, reading.format, arguments.path);
    diagram.levels = station.levels;
    diagram.levelCount = station.levelCount;
    diagram.derived = station.derived;
    diagram.latitude = station.latitude;
    if (!reading.flags.empty()) {
        describeFlags(reading.flags.front(), diagram);
    }
    if (!writeText(drawStationDiagram(diagram), arguments.output, standardOutput)) {
        return failure(arguments.output.value_or("standard output"),
                       std::string("cannot write the diagram: ") + std::strerror(errno));
    }
    if (!arguments.choice.any() && stations > 1) {
        std::fprintf(stderr, "vivezeru5: %s: %zu stations; drew the first (%s), choose another with --station\n",
                     arguments.path.c_str(), stations, cli::identifierText(station.id).c_str());
    }
    return kExitOk;
}

}  // namespace

int runSkewTCommand(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        if (std::string_view(argv[i]) == "-h" || std::string_view(argv[i]) == "--help") {
            std::printf("usage: %s\n\n%s", kSkewTSynopsis, kHelp);
            return kExitOk;
        }
    }
    Arguments arguments;
    if (const auto status = parseArguments(argc, argv, arguments)) {
        return *status;
    }
    cli::FileReading reading = cli::readFile(arguments.path, arguments.format);
    if (!reading.failure.empty()) {
        return failure(arguments.path, reading.failure);
    }
    if (!cli::traitsOf(reading.format).isSounding) {
        return failure(arguments.path, "surface reports have no sounding to draw");
    }
    const int status = draw(arguments, reading, stdout);
    for (const std::string& problem : reading.problems) {
        std::fprintf(stderr, "vivezeru5: %s: %s\n", arguments.path.c_str(), problem.c_str());
    }
    return status == kExitOk ? cli::exitStatusOf(reading.outcome()) : status;
}

}  // namespace vivezeru5::skewt
