// Throughput of the four readers: bytes/s of file read and stations/s.
//
//   vivezeru5_bench [--stations=N] [--levels=N] [Google Benchmark options]
//
// Files are generated once per size into a scratch directory. The analysing
// readers' progress lines go to /dev/null while they are timed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "generated_files.h"
#include "silenced_stdout.h"
#include "vivezeru5/vivezeru5.h"

namespace {

using vivezeru5::bench::GeneratedFile;
using vivezeru5::bench::GeneratedFormat;

std::size_t gStations = 2000;
int gLevels = 40;

const GeneratedFile& fileFor(GeneratedFormat format, std::size_t stations) {
    static std::map<std::pair<GeneratedFormat, std::size_t>, GeneratedFile> files;
    auto found = files.find({format, stations});
    if (found == files.end()) {
        found = files.emplace(std::make_pair(format, stations),
                              vivezeru5::bench::generateFile(format, stations, gLevels))
                    .first;
    }
    return found->second;
}


template <float* (*Reader)(const char*)>
void readFile(benchmark::State& state, GeneratedFormat format) {
    const GeneratedFile& file = fileFor(format, static_cast<std::size_t>(state.range(0)));
    bool failed = false;
    {
        vivezeru5::tools::SilencedStdout quiet;
        for (auto _ : state) {
            float* block = Reader(file.path.c_str());
            failed = failed || block == nullptr;
            benchmark::DoNotOptimize(block);
            std::free(block);
        }
    }
    if (failed) {
        state.SkipWithError("the reader returned NULL");
        return;
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(file.bytes) * state.iterations());
    state.counters["stations"] = benchmark::Counter(iterations * static_cast<double>(file.stations),
                                                    benchmark::Counter::kIsRate);
    state.counters["file_bytes"] = static_cast<double>(file.bytes);
}

void BM_readVelmorData5(benchmark::State& state) { readFile<readVelmorData5>(state, GeneratedFormat::Type5); }
void BM_readVelmor5Only(benchmark::State& state) { readFile<readVelmor5Only>(state, GeneratedFormat::Type5Plain); }
void BM_readRozeduData(benchmark::State& state) {
    readFile<readRozeduData>(state, GeneratedFormat::Rozedu);
}
void BM_ReadVelmorData1(benchmark::State& state) { readFile<ReadVelmorData1>(state, GeneratedFormat::Surface); }

// Takes --stations=N and --levels=N out of the arguments.
void takeOwnArguments(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--stations=", 11) == 0) {
            gStations = std::strtoul(argv[i] + 11, nullptr, 10);
        } else if (std::strncmp(argv[i], "--levels=", 9) == 0) {
            gLevels = std::atoi(argv[i] + 9);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    if (gStations < 1) {
        gStations = 1;
    }
    if (gLevels < 2) {
        gLevels = 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    takeOwnArguments(argc, argv);
    const auto stations = static_cast<std::int64_t>(gStations);
    // Surface reports are short: ten times as many stations.
    benchmark::RegisterBenchmark("readVelmorData5/type5", BM_readVelmorData5)->Arg(stations);
    benchmark::RegisterBenchmark("readVelmor5Only/type5-plain", BM_readVelmor5Only)->Arg(stations);
    benchmark::RegisterBenchmark("readRozeduData/rozedu", BM_readRozeduData)->Arg(stations);
    benchmark::RegisterBenchmark("ReadVelmorData1/surface", BM_ReadVelmorData1)->Arg(10 * stations);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
