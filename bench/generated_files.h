// Synthetic data files for the benchmarks, the same bytes on every run.
//
// Soundings start at a surface between 1000 and 850 hPa and carry 20 to 150
// levels (about 70 on average): the mandatory levels in most stations, the
// rest significant levels. Temperatures follow lapse rates with surface and
// elevated inversions and an isothermal stratosphere; dew points stay below
// temperatures; heights come from the hypsometric equation, with a few 9999
// (missing) heights. Surface reports come with and without the optional pair.
//
// Options give another seed and a share of missing values: -9999 for a
// temperature, dew point, wind direction or wind speed and 9999 for a height,
// at any level (the surface and the 850, 700 and 500 hPa levels included),
// and -9999 for a surface report's values 2 to 22. Without them the files are
// those the benchmarks have always read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vivezeru5::bench {

struct GeneratedFile {
    std::string path;
    std::size_t bytes = 0;
    std::size_t stations = 0;
};

// The readers reject a declared station count above a million.
inline constexpr std::size_t kMaxGeneratedStations = 999999;

enum class GeneratedFormat { Type5, Type5Plain, Rozedu, Surface };

struct GenerationOptions {
    std::optional<std::uint32_t> seed;  // the format's own fixed seed when absent
    double missingShare = 0;            // the chance of each value to be written missing
};

// A path for `name` in the scratch directory, which is removed at exit.
std::string scratchPath(const std::string& name);

// Writes `path`: as many stations of the format as fit in `bytes` (at least
// one, at most `maxStations`), and returns it.
GeneratedFile generateFileOfSize(GeneratedFormat format, std::size_t bytes, const std::string& path,
                                 std::size_t maxStations = kMaxGeneratedStations,
                                 const GenerationOptions& options = {});

// The format of a name used on command lines: type5, type5-plain, rozedu,
// surface. False when the name is none of these.
bool formatFromName(const std::string& name, GeneratedFormat& format);

}  // namespace vivezeru5::bench
