#include "analysis_bench.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "analysis/analyse_station.h"
#include "analysis/lifted_indices.h"
#include "analysis/lifting_condensation_level.h"
#include "analysis/mean_wind.h"
#include "analysis/parcel_energy.h"
#include "analysis/standard_levels.h"
#include "readers/sounding_records.h"
#include "silenced_stdout.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5::bench {
namespace {

// The soundings of a file as analysed stations: each record holds the
// results of every step, so that any one step can be run again on its own
// inputs. `levels` owns the level arrays the records point into.
struct AnalysedSoundings {
    std::vector<SoundingStation> stations;
    std::vector<StandardLevelValues> standard;
    std::vector<std::unique_ptr<SoundingLevel[]>> levels;
};

AnalysedSoundings loadSoundings(const std::string& path) {
    AnalysedSoundings soundings;
    float* block = readVelmor5Only(path.c_str());
    if (block == nullptr) {
        return soundings;
    }
    const auto stationCount = static_cast<std::size_t>(block[5]);
    const float* at = block + 6;
    for (std::size_t k = 0; k < stationCount; ++k) {
        SoundingStation station;
        station.stationId = static_cast<std::int32_t>(at[0]);
        station.levelCount = static_cast<std::int32_t>(at[4]);
        auto levels = std::make_unique<SoundingLevel[]>(static_cast<std::size_t>(station.levelCount));
        for (int i = 0; i < station.levelCount; ++i) {
            const float* v = at + 5 + kValuesPerLevel * i;
            levels[static_cast<std::size_t>(i)] = {v[0], v[1], v[2], v[3], v[4], v[5]};
        }
        at += 5 + kValuesPerLevel * station.levelCount;
        station.levels = levels.get();
        if (station.levelCount < 1) {
            continue;
        }
        soundings.levels.push_back(std::move(levels));
        soundings.standard.push_back(analyseStandardLevels(station));
        analyseStation(station);
        soundings.stations.push_back(station);
    }
    std::free(block);
    return soundings;
}

const AnalysedSoundings& soundingsOf(const std::string& path) {
    static const AnalysedSoundings soundings = [&] {
        bench::SilencedStdout quiet;
        return loadSoundings(path);
    }();
    return soundings;
}

// Runs `step` on a fresh copy of every station per iteration and counts stations.
template <typename Step>
void runOverStations(benchmark::State& state, const std::string& path, Step step) {
    const AnalysedSoundings& soundings = soundingsOf(path);
    std::vector<SoundingStation> working = soundings.stations;
    {
        bench::SilencedStdout quiet;
        for (auto _ : state) {
            for (std::size_t k = 0; k < working.size(); ++k) {
                step(working[k], soundings.stations[k], soundings.standard[k]);
            }
            benchmark::ClobberMemory();
        }
    }
    state.counters["stations"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(working.size()), benchmark::Counter::kIsRate);
}

void standardLevels(SoundingStation& station, const SoundingStation&, const StandardLevelValues&) {
    benchmark::DoNotOptimize(analyseStandardLevels(station));
}

void liftedIndices(SoundingStation& station, const SoundingStation&, const StandardLevelValues& standard) {
    const SoundingLevel& surface = station.levels[0];
    station.liftedIndex =
        computeLiftedIndex(surface.dewPoint, surface.temperature, surface.pressure, standard.T500);
    station.showalterIndex = computeShowalter(standard.Td850, standard.T850, 850, standard.T500);
}

void condensationLevel(SoundingStation& station, const SoundingStation&, const StandardLevelValues&) {
    const SoundingLevel& surface = station.levels[0];
    station.lclPressure = computeLclPressure(surface.temperature, surface.dewPoint, surface.pressure);
    station.lclTemperature = computeLclTemperature(surface.temperature, surface.pressure, station.lclPressure);
}

void meanWind(SoundingStation& station, const SoundingStation&, const StandardLevelValues&) {
    computeMeanWind(station);
}

// The station's levels with every derived field 0, as the reader creates it.
SoundingStation unanalysed(const SoundingStation& analysed) {
    SoundingStation station;
    station.stationId = analysed.stationId;
    station.levelCount = analysed.levelCount;
    station.levels = analysed.levels;
    return station;
}

// Parcel energy reads fields it writes (no LFC while lfcPressure is below 1),
// so every run starts from the inputs the earlier steps gave it.
void parcelEnergy(SoundingStation& station, const SoundingStation& analysed, const StandardLevelValues&) {
    station = unanalysed(analysed);
    station.lclPressure = analysed.lclPressure;
    station.lclTemperature = analysed.lclTemperature;
    station.meanWindU = analysed.meanWindU;
    station.meanWindV = analysed.meanWindV;
    computeParcelEnergy(station);
}

void wholeAnalysis(SoundingStation& station, const SoundingStation& analysed, const StandardLevelValues&) {
    station = unanalysed(analysed);
    analyseStation(station);
}

}  // namespace

void registerAnalysisBenchmarks(const std::string& path) {
    const auto add = [&](const char* name, auto step) {
        benchmark::RegisterBenchmark(name, [path, step](benchmark::State& state) {
            runOverStations(state, path, step);
        });
    };
    add("analysis/standard_levels", standardLevels);
    add("analysis/lifted_indices", liftedIndices);
    add("analysis/condensation_level", condensationLevel);
    add("analysis/mean_wind", meanWind);
    add("analysis/parcel_energy", parcelEnergy);
    add("analysis/whole_station", wholeAnalysis);
}

}  // namespace vivezeru5::bench
