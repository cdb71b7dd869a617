#include "skewt_command.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "blocks.h"
#include "file_formats.h"
#include "reader_call.h"
#include "silenced_stdout.h"
#include "skewt_diagram.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5::skewt {
namespace {

using cli::FileFormat;
using cli::SoundingStationView;

constexpr int kExitOk = 0;
constexpr int kExitNoData = 1;
constexpr int kExitUsage = 2;

constexpr const char* kHelp =
    "Draws one station of a sounding file as a skew-T log-p diagram (SVG):\n"
    "temperature, dew point, the lifted surface parcel with its LCL, LFC and\n"
    "EL, the CAPE and CIN areas, wind barbs and the derived values with their\n"
    "quality flags.\n"
    "\n"
    "options:\n"
    "  -s, --station ID  the station to draw (default: the first in the file)\n"
    "  -f, --format F    read the file as F instead of recognising it\n"
    "                    (type5, type5-plain, rozedu)\n"
    "  -o, --output OUT  write the SVG to OUT instead of standard output\n"
    "  -h, --help        this help\n"
    "\n"
    "exit status: 0 drawn, 1 the file or station cannot be drawn, 2 usage error\n";

struct Arguments {
    std::string path;
    std::optional<FileFormat> format;
    std::optional<std::string> station;
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
std::optional<std::string> optionValue(int argc, char** argv, int& i, std::string_view shortName,
                                       std::string_view longName) {
    const std::string_view argument = argv[i];
    if (argument.size() > longName.size() && argument.starts_with(longName) && argument[longName.size()] == '=') {
        return std::string(argument.substr(longName.size() + 1));
    }
    if ((argument == shortName || argument == longName) && i + 1 < argc) {
        return std::string(argv[++i]);
    }
    return std::nullopt;
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
        } else if (argument == "-s" || argument == "--station" || argument.starts_with("--station=")) {
            arguments.station = optionValue(argc, argv, i, "-s", "--station");
            if (!arguments.station) {
                return usageError(std::string(argument) + " needs a station id");
            }
        } else if (argument == "-f" || argument == "--format" || argument.starts_with("--format=")) {
            const std::optional<std::string> name = optionValue(argc, argv, i, "-f", "--format");
            arguments.format = name ? cli::formatNamed(*name) : std::nullopt;
            if (!arguments.format) {
                return usageError(name ? "unknown format '" + *name + "' (formats: " + cli::formatNames() + ")"
                                       : std::string(argument) + " needs a format: " + cli::formatNames());
            }
        } else if (argument == "-o" || argument == "--output" || argument.starts_with("--output=")) {
            arguments.output = optionValue(argc, argv, i, "-o", "--output");
            if (!arguments.output) {
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

float* readQuietly(FileFormat format, const char* path) {
    // The analysing readers' progress lines must not mix with an SVG on stdout.
    tools::SilencedStdout silenced;
    return cli::callReader(format, path);
}

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string stationId(float id) { return formatted(std::fabs(id) < 1e9f ? "%.0f" : "%g", id); }

bool isWhole(float value, float low, float high) {
    return std::isfinite(value) && std::floor(value) == value && value >= low && value <= high;
}

std::string timeText(const cli::ObservationTime& time) {
    if (!isWhole(time.year, 1000, 9999) || !isWhole(time.month, 1, 12) || !isWhole(time.day, 1, 31) ||
        !isWhole(time.hour, 0, 24)) {
        return "observation time not given";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04.0f-%02.0f-%02.0f %02.0f:00", static_cast<double>(time.year),
                  static_cast<double>(time.month), static_cast<double>(time.day), static_cast<double>(time.hour));
    return text;
}

std::string subtitle(const SoundingStationView& station, FileFormat format, const std::string& path) {
    std::string text = "lat " + formatted("%.2f", station.latitude) + ", lon " + formatted("%.2f", station.longitude);
    if (format != FileFormat::Rozedu && station.elevation != VIVEZERU5_MISSING) {
        text += ", elevation " + formatted("%.0f", station.elevation) + " m";
    }
    text += ", " + std::to_string(station.levelCount) + " levels; " + path + " (" + cli::traitsOf(format).optionName + ")";
    return text;
}

// The station named by `wanted`, or the first; null when there is none.
const SoundingStationView* pickStation(const cli::BlockView& view, const std::optional<std::string>& wanted) {
    if (view.soundings.empty()) {
        return nullptr;
    }
    if (!wanted) {
        return &view.soundings.front();
    }
    char* end = nullptr;
    const double id = std::strtod(wanted->c_str(), &end);
    if (end == wanted->c_str() || *end != '\0') {
        return nullptr;
    }
    for (const SoundingStationView& station : view.soundings) {
        if (station.id == static_cast<float>(id)) {
            return &station;
        }
    }
    return nullptr;
}

bool writeText(const std::string& text, const std::optional<std::string>& output) {
    if (!output) {
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
    }
    std::FILE* file = std::fopen(output->c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

int draw(const Arguments& arguments, FileFormat format, const cli::BlockView& view) {
    const SoundingStationView* station = pickStation(view, arguments.station);
    if (station == nullptr) {
        return failure(arguments.path, arguments.station ? "no station " + *arguments.station + " in the file"
                                                         : std::string("no station in the file"));
    }
    StationDiagram diagram;
    diagram.title = "Station " + stationId(station->id) + ", " + timeText(view.time);
    diagram.subtitle = subtitle(*station, format, arguments.path);
    diagram.levels = station->levels;
    diagram.levelCount = station->levelCount;
    diagram.derived = station->derived;
    diagram.latitude = station->latitude;
    if (!writeText(drawStationDiagram(diagram), arguments.output)) {
        return failure(arguments.output.value_or("standard output"),
                       std::string("cannot write the diagram: ") + std::strerror(errno));
    }
    if (!arguments.station && view.soundings.size() > 1) {
        std::fprintf(stderr, "vivezeru5: %s: %zu stations; drew the first (%s), choose another with --station\n",
                     arguments.path.c_str(), view.soundings.size(), stationId(station->id).c_str());
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
    FileFormat format = FileFormat::Type5;
    if (arguments.format) {
        format = *arguments.format;
    } else {
        const cli::RecognitionResult recognised = cli::recognise(arguments.path);
        if (recognised.outcome == cli::Recognition::CannotOpen) {
            return failure(arguments.path, std::string("cannot open: ") + std::strerror(recognised.openError));
        }
        if (recognised.outcome == cli::Recognition::Unrecognised) {
            return failure(arguments.path, "format not recognised; name it with --format (" + cli::formatNames() + ")");
        }
        format = recognised.format;
    }
    if (!cli::traitsOf(format).isSounding) {
        return failure(arguments.path, "surface reports have no sounding to draw");
    }
    float* block = readQuietly(format, arguments.path.c_str());
    if (block == nullptr) {
        return failure(arguments.path, std::string("not readable as ") + cli::traitsOf(format).optionName);
    }
    const cli::BlockView view = cli::viewBlock(block, format);
    const int status = draw(arguments, format, view);
    std::free(block);
    return status;
}

}  // namespace vivezeru5::skewt
