// Synthetic data files of a chosen size for the benchmarks: plausible
// soundings (a boundary layer, a lapse rate, a tropopause, winds veering and
// strengthening with height) and surface reports, made from a fixed seed.
#pragma once

#include <cstddef>
#include <string>

namespace vivezeru5::bench {

struct GeneratedFile {
    std::string path;
    std::size_t bytes = 0;
    std::size_t stations = 0;
};

enum class GeneratedFormat { Type5, Type5Plain, Rozedu, Surface };

// Writes a file of `stations` stations of the format into the scratch
// directory (removed at exit) and returns it. Sounding stations have about
// `levels` levels each.
GeneratedFile generateFile(GeneratedFormat format, std::size_t stations, int levels);

}  // namespace vivezeru5::bench
