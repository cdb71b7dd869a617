// Writes a generated data file of about a given size:
//
//   vivezeru5_generate FORMAT BYTES PATH [MAX_STATIONS]
//
// FORMAT is type5 (integer levels), type5-plain (decimal levels), rozedu or
// surface. The same arguments give the same bytes. Prints the path, its size
// and its number of stations.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "generated_files.h"

int main(int argc, char** argv) {
    using namespace vivezeru5::bench;
    GeneratedFormat format{};
    if ((argc != 4 && argc != 5) || !formatFromName(argv[1], format)) {
        std::fprintf(stderr, "usage: vivezeru5_generate type5|type5-plain|rozedu|surface BYTES PATH [MAX_STATIONS]\n");
        return 2;
    }
    try {
        const GeneratedFile file = generateFileOfSize(format, std::strtoull(argv[2], nullptr, 10), argv[3],
                                                     argc == 5 ? std::strtoull(argv[4], nullptr, 10) : kMaxGeneratedStations);
        std::printf("%s %zu bytes %zu stations\n", file.path.c_str(), file.bytes, file.stations);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
