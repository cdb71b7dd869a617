// Writes a generated data file of about a given size:
//
//   vivezeru5_generate [--seed N] [--missing SHARE] FORMAT BYTES PATH [MAX_STATIONS]
//
// FORMAT is type5 (integer levels), type5-plain (decimal levels), rozedu or
// surface. The same arguments give the same bytes. --seed N draws the file
// from another seed than the format's own; --missing SHARE (0 to 1) writes
// that share of temperatures, dew points, wind directions, wind speeds and
// heights missing (surface reports: of values 2 to 22). Without the options
// the files are those the benchmarks have always used. Prints the path, its
// size and its number of stations.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <vector>

#include "generated_files.h"

int main(int argc, char** argv) {
    using namespace vivezeru5::bench;
    GenerationOptions options;
    std::vector<const char*> positional;
    bool usable = true;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
            options.seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--missing") == 0 && hasValue) {
            options.missingShare = std::strtod(argv[++i], nullptr);
            usable = usable && options.missingShare >= 0 && options.missingShare <= 1;
        } else {
            positional.push_back(argv[i]);
        }
    }
    GeneratedFormat format{};
    if (!usable || (positional.size() != 3 && positional.size() != 4) || !formatFromName(positional[0], format)) {
        std::fprintf(stderr,
                     "usage: vivezeru5_generate [--seed N] [--missing SHARE] type5|type5-plain|rozedu|surface BYTES "
                     "PATH [MAX_STATIONS]\n");
        return 2;
    }
    try {
        const GeneratedFile file =
            generateFileOfSize(format, std::strtoull(positional[1], nullptr, 10), positional[2],
                               positional.size() == 4 ? std::strtoull(positional[3], nullptr, 10) : kMaxGeneratedStations,
                               options);
        std::printf("%s %zu bytes %zu stations\n", file.path.c_str(), file.bytes, file.stations);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
