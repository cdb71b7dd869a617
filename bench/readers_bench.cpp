// Throughput of the four readers and of the straightforward implementation
// of each (bytes/s of file read and stations/s), and time per station of
// each analysis step.
//
//   vivezeru5_bench [--bytes=N] [Google Benchmark options]
//
// Files of about N bytes (default 1,000,000) are generated once into a
// scratch directory. The analysing readers' progress lines go to /dev/null
// while they are timed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "analysis_bench.h"
#include "generated_files.h"
#include "silenced_stdout.h"
#include "straightforward/readers.h"
#include "vivezeru5/vivezeru5.h"

namespace {

using vivezeru5::bench::GeneratedFile;
using vivezeru5::bench::GeneratedFormat;

std::size_t gBytes = 1000000;

const GeneratedFile& fileFor(GeneratedFormat format) {
    static std::map<GeneratedFormat, GeneratedFile> files;
    auto found = files.find(format);
    if (found == files.end()) {
        const std::string name = "generated_" + std::to_string(static_cast<int>(format)) + ".txt";
        found = files.emplace(format, vivezeru5::bench::generateFileOfSize(format, gBytes,
                                                                           vivezeru5::bench::scratchPath(name)))
                    .first;
    }
    return found->second;
}

void readFile(benchmark::State& state, float* (*reader)(const char*), GeneratedFormat format) {
    const GeneratedFile& file = fileFor(format);
    bool failed = false;
    {
        vivezeru5::bench::SilencedStdout quiet;
        for (auto _ : state) {
            float* block = reader(file.path.c_str());
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

void registerReader(const char* name, float* (*reader)(const char*), GeneratedFormat format) {
    benchmark::RegisterBenchmark(name, [reader, format](benchmark::State& state) { readFile(state, reader, format); });
}

// Takes --bytes=N out of the arguments.
void takeOwnArguments(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--bytes=", 8) == 0) {
            gBytes = std::strtoul(argv[i] + 8, nullptr, 10);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
}

}  // namespace

int main(int argc, char** argv) {
    takeOwnArguments(argc, argv);
    namespace straightforward = vivezeru5::straightforward;
    registerReader("readVelmorData5/type5", readVelmorData5, GeneratedFormat::Type5);
    registerReader("straightforward/type5", [](const char* path) { return straightforward::readVelmorData5(path); },
                   GeneratedFormat::Type5);
    registerReader("readVelmor5Only/type5-plain", readVelmor5Only, GeneratedFormat::Type5Plain);
    registerReader("straightforward/type5-plain", straightforward::readVelmor5Only, GeneratedFormat::Type5Plain);
    registerReader("readRozeduData/rozedu", readRozeduData, GeneratedFormat::Rozedu);
    registerReader("straightforward/rozedu", [](const char* path) { return straightforward::readRozeduData(path); },
                   GeneratedFormat::Rozedu);
    registerReader("ReadVelmorData1/surface", ReadVelmorData1, GeneratedFormat::Surface);
    registerReader("straightforward/surface", straightforward::ReadVelmorData1, GeneratedFormat::Surface);
    vivezeru5::bench::registerAnalysisBenchmarks(fileFor(GeneratedFormat::Type5).path);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
