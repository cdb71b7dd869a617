#include "text_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "derived_values.h"
#include "value_text.h"
#include "vivezeru5/vivezeru5.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace vivezeru5::cli {
namespace {

constexpr const char* kFlagMark = "*";

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

std::string timeText(const ObservationTime& time, FileFormat format) {
    if (isMissing(time.year) && isMissing(time.month) && isMissing(time.day) && isMissing(time.hour)) {
        return "not carried by this format";
    }
    char text[160];
    if (isWholeIn(time.year, 1000, 9999) && isWholeIn(time.month, 1, 12) && isWholeIn(time.day, 1, 31) &&
        isWholeIn(time.hour, 0, 24)) {
        std::snprintf(text, sizeof text, "%04.0f-%02.0f-%02.0f %02.0f:00", static_cast<double>(time.year),
                      static_cast<double>(time.month), static_cast<double>(time.day),
                      static_cast<double>(time.hour));
    } else {
        std::snprintf(text, sizeof text, "year %g, month %g, day %g, hour %g", static_cast<double>(time.year),
                      static_cast<double>(time.month), static_cast<double>(time.day),
                      static_cast<double>(time.hour));
    }
    (void)format;
    return text;
}

void printLevels(std::FILE* out, const SoundingStationView& station) {
    std::fprintf(out, "  pressure    height         T        Td       dir     speed\n");
    std::fprintf(out, "       hPa       dam        °C        °C       deg       m/s\n");
    for (std::size_t i = 0; i < station.levelCount; ++i) {
        const float* level = station.levels + i * kLevelValues;
        for (int j = 0; j < kLevelValues; ++j) {
            std::fprintf(out, "%s", cell(shownLevelValue(level, j), 10).c_str());
        }
        std::fprintf(out, "\n");
    }
}

// Whether `out` is a terminal that takes the dim attribute: no NO_COLOR.
bool greysOnTerminal(std::FILE* out) {
#if defined(_WIN32)
    (void)out;
    return false;
#else
    return ::isatty(::fileno(out)) != 0 && std::getenv("NO_COLOR") == nullptr;
#endif
}

void printDerived(std::FILE* out, const float* derived, const StationFlags& flags) {
    const bool grey = greysOnTerminal(out);
    std::fprintf(out, "  derived values (0 where the analysis does not reach)\n");
    for (int slot = 0; slot < kDerivedCount; ++slot) {
        const DerivedValueName& name = kDerivedValueNames[slot];
        const std::string_view flag = flagName(flags[slot]);
        std::string line = "  " + std::string(slot < 9 ? " " : "") + std::to_string(slot + 1) + "  " + name.label;
        line.resize(std::max<std::size_t>(line.size(), 34), ' ');
        // On a terminal a value that means nothing is shown dim.
        const bool dim = grey && flagMeansNothing(flags[slot]);
        line += (dim ? "\x1b[2m" : "") + cell(derived[slot], 10) + (dim ? "\x1b[22m" : "");
        if (*name.unit != '\0') {
            line += std::string("  ") + name.unit;
        }
        if (!flag.empty()) {
            // The mark stands in one column whatever the unit ("°C" is two characters wide).
            const std::string_view unit = name.unit;
            const std::size_t unitWidth = unit == "°C" ? 2 : unit.size();
            line += std::string(unit.empty() ? 6 : 4 - unitWidth, ' ') + "  " + kFlagMark + " " + std::string(flag);
        }
        std::fprintf(out, "%s\n", line.c_str());
    }
    for (const QualityFlag flag : kAllFlags) {
        if (std::find(flags.begin(), flags.end(), flag) != flags.end()) {
            std::fprintf(out, "  %s %s: %s\n", kFlagMark, std::string(flagName(flag)).c_str(),
                         std::string(flagReason(flag)).c_str());
        }
    }
}

void printSoundingStation(std::FILE* out, const SoundingStationView& station, const StationFlags* flags,
                          FileFormat format) {
    std::fprintf(out, "\nstation %s   lat %s   lon %s   ", identifierText(station.id).c_str(),
                 cell(station.latitude, 0).c_str(), cell(station.longitude, 0).c_str());
    if (format == FileFormat::Rozedu) {
        std::fprintf(out, "elevation not carried");
    } else {
        std::fprintf(out, "elevation %s m", cell(station.elevation, 0).c_str());
    }
    std::fprintf(out, "   levels %zu\n", station.levelCount);
    if (station.levelCount > 0) {
        printLevels(out, station);
    }
    if (station.derived != nullptr && flags != nullptr) {
        printDerived(out, station.derived, *flags);
    }
}

void printSurfaceStation(std::FILE* out, const SurfaceStationView& station) {
    const float* values = station.values;
    std::fprintf(out, "\nstation %s   lat %s   lon %s   elevation %s m\n", identifierText(values[0]).c_str(),
                 cell(values[2], 0).c_str(), cell(values[1], 0).c_str(), cell(values[3], 0).c_str());
    constexpr int kPerRow = 11;
    for (int first = 5; first <= kSurfaceStride; first += kPerRow) {
        const int last = std::min(first + kPerRow - 1, kSurfaceStride);
        std::fprintf(out, "  value");
        for (int n = first; n <= last; ++n) {
            std::fprintf(out, "%9d", n);
        }
        std::fprintf(out, "\n       ");
        for (int n = first; n <= last; ++n) {
            std::fprintf(out, "%s", cell(values[n - 1], 9).c_str());
        }
        std::fprintf(out, "\n");
    }
}

}  // namespace

void printTextReport(std::FILE* out, const FileReading& reading) {
    const FormatTraits& traits = traitsOf(reading.format);
    const BlockView& view = reading.view;
    std::fprintf(out, "file: %s\n", reading.path.c_str());
    std::fprintf(out, "format: %s (%s, read with %s)\n", traits.optionName, traits.description, traits.readerName);
    std::fprintf(out, "observation time: %s\n", timeText(view.time, reading.format).c_str());
    std::fprintf(out, "stations: %zu\n", view.stationCount);
    for (std::size_t k = 0; k < view.soundings.size(); ++k) {
        printSoundingStation(out, view.soundings[k], k < reading.flags.size() ? &reading.flags[k] : nullptr,
                             reading.format);
    }
    for (const auto& station : view.surfaces) {
        printSurfaceStation(out, station);
    }
}

void printBlock(std::FILE* out, const FileReading& reading) {
    const float* block = reading.block.get();
    for (std::size_t i = 0; i < reading.view.length; ++i) {
        std::fprintf(out, "%.9g\n", static_cast<double>(block[i]));
    }
}

}  // namespace vivezeru5::cli
