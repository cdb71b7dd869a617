// vivezeru5 — command-line tool for Velmor station data files.
//
//   vivezeru5 show [--format F] [--quiet] FILE   readable table of the file
//   vivezeru5 dump [--format F] [--quiet] FILE   the raw block, one float a line
//
// It uses only the library's public interface.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>


#include "blocks.h"
#include "file_formats.h"
#include "reader_call.h"
#include "silenced_stdout.h"
#include "skewt_command.h"
#include "vivezeru5/vivezeru5.h"

#ifndef VIVEZERU5_VERSION
#define VIVEZERU5_VERSION "unknown"
#endif

namespace vivezeru5::cli {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitNoData = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: vivezeru5 show [--format FORMAT] [--quiet] FILE\n"
    "       vivezeru5 dump [--format FORMAT] [--quiet] FILE\n"
    "       vivezeru5 skewt [--format FORMAT] FILE [--station ID] [-o OUT.svg]\n"
    "       vivezeru5 --help | --version\n";

constexpr const char* kHelp =
    "Reads a Velmor station data file with the vivezeru5 library.\n"
    "\n"
    "commands:\n"
    "  show FILE   the observation time, then per station its id, position,\n"
    "              elevation and level table, and the derived values of the\n"
    "              analysed formats\n"
    "  dump FILE   the block the reader returns, one float a line (%.9g)\n"
    "  skewt FILE  a skew-T log-p diagram of one station, as SVG\n"
    "              (vivezeru5 skewt --help)\n"
    "\n"
    "options:\n"
    "  -f, --format FORMAT  reader to use instead of recognising the file:\n"
    "                         type5        type-5 soundings, integer levels (readVelmorData5)\n"
    "                         type5-plain  type-5 soundings, decimal levels (readVelmor5Only)\n"
    "                         rozedu       characteristic-level soundings (readRozeduData)\n"
    "                         surface      type-1 surface reports (ReadVelmorData1)\n"
    "  -q, --quiet          discard the progress lines the analysing readers\n"
    "                       write to standard output\n"
    "  -h, --help           this help\n"
    "  --version            the version\n"
    "\n"
    "Without --format, a file whose first token is an integer is read as\n"
    "characteristic-level soundings; a word followed by data type 5 as type-5\n"
    "soundings (type5-plain when a level value has decimals); a word followed\n"
    "by data type 1 as surface reports.\n"
    "\n"
    "Units: pressure hPa, height dam, temperature and dew point degrees Celsius,\n"
    "wind direction degrees (from), speed m/s; elevation as in the file (m).\n"
    "In show, -- marks the missing value -9999.\n"
    "\n"
    "exit status: 0 success, 1 the file cannot be read, 2 usage error\n";

struct DerivedName {
    const char* name;
    const char* unit;
};

// Slots 1 to 19 of a station's derived values.
constexpr DerivedName kDerivedNames[kDerivedCount] = {
    {"freezing level height", "dam"},
    {"freezing level pressure", "hPa"},
    {"K index", "°C"},
    {"total totals", "°C"},
    {"SWEAT index", ""},
    {"Showalter index", "K"},
    {"LCL pressure", "hPa"},
    {"LCL temperature", "°C"},
    {"LCL height", "dam"},
    {"mean wind direction", "deg"},
    {"mean wind speed", "m/s"},
    {"surface lifted index", "K"},
    {"LFC pressure", "hPa"},
    {"LFC temperature", "°C"},
    {"LFC height", "dam"},
    {"equilibrium level pressure", "hPa"},
    {"CAPE", "J/kg"},
    {"CIN", "J/kg"},
    {"bulk Richardson number", ""},
};

enum class Command { Show, Dump };

struct Options {
    Command command = Command::Show;
    std::optional<FileFormat> format;
    bool quiet = false;
    std::string path;
};

bool isMissing(float value) { return value == VIVEZERU5_MISSING; }

// A value in a column of `width` with two decimals, "--" when missing.
std::string cell(float value, int width) {
    char text[64];
    if (isMissing(value)) {
        std::snprintf(text, sizeof text, "%*s", width, "--");
    } else if (std::isnan(value)) {
        std::snprintf(text, sizeof text, "%*s", width, "nan");  // the same whatever its sign bit
    } else {
        std::snprintf(text, sizeof text, "%*.2f", width, static_cast<double>(value));
    }
    return text;
}

// An identifier: whole numbers without decimals.
std::string identifier(float value) {
    char text[64];
    if (std::isfinite(value) && std::floor(value) == value && std::fabs(value) < 1e9f) {
        std::snprintf(text, sizeof text, "%.0f", static_cast<double>(value));
    } else {
        std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    }
    return text;
}

bool isWhole(float value, float low, float high) {
    return std::isfinite(value) && std::floor(value) == value && value >= low && value <= high;
}

std::string timeText(const ObservationTime& time, FileFormat format) {
    if (isMissing(time.year) && isMissing(time.month) && isMissing(time.day) && isMissing(time.hour)) {
        return "not carried by this format";
    }
    char text[160];
    if (isWhole(time.year, 1000, 9999) && isWhole(time.month, 1, 12) && isWhole(time.day, 1, 31) &&
        isWhole(time.hour, 0, 24)) {
        std::snprintf(text, sizeof text, "%04.0f-%02.0f-%02.0f %02.0f:00", static_cast<double>(time.year),
                      static_cast<double>(time.month), static_cast<double>(time.day),
                      static_cast<double>(time.hour));
    } else {
        std::snprintf(text, sizeof text, "year %g, month %g, day %g, hour %g", static_cast<double>(time.year),
                      static_cast<double>(time.month), static_cast<double>(time.day),
                      static_cast<double>(time.hour));
    }
    std::string result = text;
    if (format == FileFormat::Surface && isWhole(time.year, 0, 99)) {
        result += " (year as written in the file)";
    }
    return result;
}

void printSoundingStation(const SoundingStationView& station, FileFormat format) {
    std::printf("\nstation %s   lat %s   lon %s   ", identifier(station.id).c_str(),
                cell(station.latitude, 0).c_str(), cell(station.longitude, 0).c_str());
    if (format == FileFormat::Rozedu) {
        std::printf("elevation not carried");
    } else {
        std::printf("elevation %s m", cell(station.elevation, 0).c_str());
    }
    std::printf("   levels %zu\n", station.levelCount);
    if (station.levelCount > 0) {
        std::printf("  pressure    height         T        Td       dir     speed\n");
        std::printf("       hPa       dam        °C        °C       deg       m/s\n");
        for (std::size_t i = 0; i < station.levelCount; ++i) {
            const float* level = station.levels + i * kLevelValues;
            for (int j = 0; j < kLevelValues; ++j) {
                std::printf("%s", cell(level[j], 10).c_str());
            }
            std::printf("\n");
        }
    }
    if (station.derived != nullptr) {
        std::printf("  derived values (0 where the analysis does not reach)\n");
        for (int slot = 0; slot < kDerivedCount; ++slot) {
            const char* unit = kDerivedNames[slot].unit;
            std::printf("  %2d  %-28s%s%s%s\n", slot + 1, kDerivedNames[slot].name,
                        cell(station.derived[slot], 10).c_str(), *unit != '\0' ? "  " : "", unit);
        }
    }
}

void printSurfaceStation(const SurfaceStationView& station) {
    const float* values = station.values;
    std::printf("\nstation %s   lat %s   lon %s   elevation %s m\n", identifier(values[0]).c_str(),
                cell(values[2], 0).c_str(), cell(values[1], 0).c_str(), cell(values[3], 0).c_str());
    constexpr int kPerRow = 11;
    for (int first = 5; first <= kSurfaceStride; first += kPerRow) {
        const int last = std::min(first + kPerRow - 1, kSurfaceStride);
        std::printf("  value");
        for (int n = first; n <= last; ++n) {
            std::printf("%9d", n);
        }
        std::printf("\n       ");
        for (int n = first; n <= last; ++n) {
            std::printf("%s", cell(values[n - 1], 9).c_str());
        }
        std::printf("\n");
    }
}

void show(const std::string& path, FileFormat format, const BlockView& view) {
    const FormatTraits& traits = traitsOf(format);
    std::printf("file: %s\n", path.c_str());
    std::printf("format: %s (%s, read with %s)\n", traits.optionName, traits.description, traits.readerName);
    std::printf("observation time: %s\n", timeText(view.time, format).c_str());
    std::printf("stations: %zu\n", view.stationCount);
    for (const auto& station : view.soundings) {
        printSoundingStation(station, format);
    }
    for (const auto& station : view.surfaces) {
        printSurfaceStation(station);
    }
}

void dump(const float* block, const BlockView& view) {
    for (std::size_t i = 0; i < view.length; ++i) {
        std::printf("%.9g\n", static_cast<double>(block[i]));
    }
}


float* read(FileFormat format, const std::string& path, bool quiet) {
    if (quiet) {
        vivezeru5::tools::SilencedStdout silenced;
        return callReader(format, path.c_str());
    }
    float* block = callReader(format, path.c_str());
    std::fflush(stdout);
    return block;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "vivezeru5: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

// Parses the arguments after the command; returns an exit status on error.
std::optional<int> parseOptions(int argc, char** argv, Options& options) {
    bool onlyFiles = false;
    std::vector<std::string> files;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (onlyFiles || argument.empty() || argument[0] != '-' || argument == "-") {
            files.emplace_back(argument);
        } else if (argument == "--") {
            onlyFiles = true;
        } else if (argument == "-q" || argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "-f" || argument == "--format" || argument.starts_with("--format=")) {
            std::string_view name;
            if (argument.starts_with("--format=")) {
                name = argument.substr(std::strlen("--format="));
            } else if (i + 1 < argc) {
                name = argv[++i];
            } else {
                return usageError(std::string(argument) + " needs a format: " + formatNames());
            }
            options.format = formatNamed(name);
            if (!options.format) {
                return usageError("unknown format '" + std::string(name) + "' (formats: " + formatNames() + ")");
            }
        } else {
            return usageError("unknown option '" + std::string(argument) + "'");
        }
    }
    if (files.size() != 1) {
        return usageError(files.empty() ? "no file given" : "one file at a time");
    }
    options.path = files.front();
    return std::nullopt;
}

int run(const Options& options) {
    FileFormat format = FileFormat::Type5;
    if (options.format) {
        format = *options.format;
    } else {
        const RecognitionResult recognised = recognise(options.path);
        if (recognised.outcome == Recognition::CannotOpen) {
            std::fprintf(stderr, "vivezeru5: %s: cannot open: %s\n", options.path.c_str(),
                         std::strerror(recognised.openError));
            return kExitNoData;
        }
        if (recognised.outcome == Recognition::Unrecognised) {
            std::fprintf(stderr, "vivezeru5: %s: format not recognised; name it with --format (%s)\n",
                         options.path.c_str(), formatNames().c_str());
            return kExitNoData;
        }
        format = recognised.format;
    }

    float* block = read(format, options.path, options.quiet);
    if (block == nullptr) {
        std::fprintf(stderr, "vivezeru5: %s: not readable as %s (%s returned NULL)\n", options.path.c_str(),
                     traitsOf(format).optionName, traitsOf(format).readerName);
        return kExitNoData;
    }
    const BlockView view = viewBlock(block, format);
    if (options.command == Command::Show) {
        show(options.path, format, view);
    } else {
        dump(block, view);
    }
    std::free(block);
    std::fflush(stdout);
    if (!view.problem.empty()) {
        std::fprintf(stderr, "vivezeru5: %s: unexpected block from %s: %s\n", options.path.c_str(),
                     traitsOf(format).readerName, view.problem.c_str());
        return kExitNoData;
    }
    return kExitOk;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        return usageError("no command given");
    }
    const std::string_view command = argv[1];
    if (command == "-h" || command == "--help" || command == "help") {
        std::printf("%s\n%s", kUsage, kHelp);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("vivezeru5 %s\n", VIVEZERU5_VERSION);
        return kExitOk;
    }
    if (command == "skewt") {
        return skewt::runSkewTCommand(argc - 2, argv + 2);
    }
    Options options;
    if (command == "show") {
        options.command = Command::Show;
    } else if (command == "dump") {
        options.command = Command::Dump;
    } else {
        return usageError("unknown command '" + std::string(command) + "'");
    }
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::printf("%s\n%s", kUsage, kHelp);
            return kExitOk;
        }
    }
    if (const auto status = parseOptions(argc, argv, options)) {
        return *status;
    }
    return run(options);
}

}  // namespace
}  // namespace vivezeru5::cli

int main(int argc, char** argv) { return vivezeru5::cli::main(argc, argv); }
