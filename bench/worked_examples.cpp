// Each row is a value the straightforward implementation computes and the
// value the method's documentation works out by hand for the same inputs,
// with the tolerance of the digits it gives (0 where it gives an exact value).
#include "worked_examples.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "generated_files.h"
#include "straightforward/analyse_station.h"
#include "straightforward/lifted_indices.h"
#include "straightforward/lifting_condensation_level.h"
#include "straightforward/mean_wind.h"
#include "straightforward/moist_adiabat.h"
#include "straightforward/parcel_energy.h"
#include "straightforward/readers.h"
#include "straightforward/standard_levels.h"

namespace vivezeru5::bench {
namespace {

namespace sf = vivezeru5::straightforward;

struct Row {
    std::string what;
    float computed;
    double expected;
    double tolerance;
};

// Levels as (pressure, height, temperature, dew point, direction, speed).
using LevelRows = std::vector<sf::SoundingLevel>;

// A station over `levels`, which must outlive it.
sf::SoundingStation stationOver(LevelRows& levels) {
    sf::SoundingStation station;
    station.levelCount = static_cast<int>(levels.size());
    station.levels = levels.data();
    return station;
}

// Levels from rows of (p, h, T).
template <std::size_t N>
LevelRows levelsOf(const float (&rows)[N][3]) {
    LevelRows levels;
    for (const auto& r : rows) {
        levels.push_back({r[0], r[1], r[2], 0, 0, 0});
    }
    return levels;
}

// The method's worked sounding.
LevelRows workedSounding() {
    const float rows[][3] = {{1000, 10, 28.0f},  {950, 54, 24.5f},    {925, 77, 22.8f},  {900, 100, 21.0f},
                             {850, 149, 18.2f},  {800, 200, 15.0f},   {700, 312, 8.0f},  {600, 440, 0.0f},
                             {500, 587, -8.5f},  {400, 757, -19.0f},  {300, 965, -33.0f}, {250, 1090, -42.0f},
                             {200, 1240, -52.5f}, {150, 1425, -60.0f}, {100, 1660, -66.0f}};
    return levelsOf(rows);
}

// A sounding whose parcel never becomes warmer than the environment.
LevelRows stableSounding() {
    const float rows[][3] = {{1000, 10, 20.0f},  {950, 54, 17.5f},    {925, 76, 16.5f},  {900, 99, 16.0f},
                             {850, 147, 15.0f},  {800, 198, 12.0f},   {700, 310, 5.0f},  {600, 440, -2.0f},
                             {500, 588, -10.0f}, {400, 760, -20.0f},  {300, 968, -33.0f}, {200, 1244, -52.0f},
                             {100, 1664, -62.0f}};
    return levelsOf(rows);
}

struct EnergyRun {
    sf::SoundingStation station;
    std::string progress;
};

EnergyRun parcelEnergyOf(LevelRows& levels, float lclPressure, float lclTemperature, float u, float v) {
    EnergyRun run{stationOver(levels), {}};
    run.station.lclPressure = lclPressure;
    run.station.lclTemperature = lclTemperature;
    run.station.meanWindU = u;
    run.station.meanWindV = v;
    sf::computeParcelEnergy(run.station, &run.progress);
    return run;
}

const std::string kBothLines = std::string(sf::kLfcProgressLine) + sf::kElProgressLine;

// A station over `levels` (which must outlive it) after the standard-level step.
sf::SoundingStation withStandardLevels(LevelRows& levels) {
    sf::SoundingStation station = stationOver(levels);
    sf::analyseStandardLevels(station);
    return station;
}

void addStandardLevelRows(std::vector<Row>& rows) {
    LevelRows standard = {{1000, 10, 20, 15, 0, 0}, {850, 150, 12, 8, 200, 10}, {700, 300, 4, -2, 230, 15},
                          {500, 580, -12, -20, 250, 20}};
    LevelRows high = standard;
    high[0].pressure = 900;
    LevelRows bare = {{1000, 10, 20, 15, 0, 0}, {950, 50, 18, 10, 0, 0}};
    LevelRows freezing = {{1000, 10, 20, 15, 0, 0}, {700, 300, 2, -5, 0, 0}, {600, 420, -4, -10, 0, 0}};
    LevelRows frozen = freezing;
    frozen[0].temperature = 0;
    const sf::SoundingStation s = withStandardLevels(standard);
    const sf::SoundingStation h = withStandardLevels(high);
    const sf::SoundingStation b = withStandardLevels(bare);
    const sf::SoundingStation f = withStandardLevels(freezing);
    const sf::SoundingStation z = withStandardLevels(frozen);
    rows.insert(rows.end(), {
        {"K index, standard levels at 850/700/500", s.kIndex, 26, 0},
        {"total totals, standard levels at 850/700/500", s.totalTotals, 44, 0},
        {"K index, surface at 900 hPa", h.kIndex, 0, 0},
        {"total totals, surface at 900 hPa", h.totalTotals, 0, 0},
        {"SWEAT, surface at 900 hPa", h.sweatIndex, 0, 0},
        {"K index without standard levels", b.kIndex, -9999, 0},
        {"total totals without standard levels", b.totalTotals, 0, 0},
        {"SWEAT without standard levels", b.sweatIndex, -58284.17, 0.005},
        {"freezing height between 700 and 600 hPa", f.freezingHeight, 340, 0.005},
        {"freezing pressure between 700 and 600 hPa", f.freezingPressure, 664.94, 0.005},
        {"freezing height of a surface at 0 °C", z.freezingHeight, 10, 0},
        {"freezing pressure of a surface at 0 °C", z.freezingPressure, 1000, 0},
    });
    rows.push_back({"SWEAT(8, 44, 10, 20, 200, 250)", sf::computeSweat(8, 44, 10, 20, 200, 250), 292.63, 0.005});
    rows.push_back({"SWEAT(8, 44, 10, 20, 100, 250)", sf::computeSweat(8, 44, 10, 20, 100, 250), 173.72, 0.005});
    rows.push_back({"SWEAT(8, 44, 7, 20, 200, 250)", sf::computeSweat(8, 44, 7, 20, 200, 250), 162.062, 0.0005});
    rows.push_back({"SWEAT(8, 52, 10, 10, 200, 250)", sf::computeSweat(8, 52, 10, 10, 200, 250), 214.29, 0.005});
}

void addParcelIndexRows(std::vector<Row>& rows) {
    rows.push_back({"saturation vapour pressure at 20 °C", sf::saturationVaporPressure(20), 23.37, 0.005});
    rows.push_back({"saturation vapour pressure at 293.16 K", sf::saturationVaporPressure(293.16f), 23.37, 0.005});
    rows.push_back({"saturation vapour pressure at -20 °C", sf::saturationVaporPressure(-20), 1.028, 0.0005});
    rows.push_back({"saturation vapour pressure at 253.16 K", sf::saturationVaporPressure(253.16f), 1.028, 0.0005});
    rows.push_back({"saturation vapour pressure at 120 (°C)", sf::saturationVaporPressure(120), 2070.2, 0.05});
    rows.push_back({"lifted index (20, 25, 1000, -10)", sf::computeLiftedIndex(20, 25, 1000, -10), 17.43, 0.005});
    rows.push_back({"lifted index (-30, 25, 1000, -10)", sf::computeLiftedIndex(-30, 25, 1000, -10), 18.62, 0.005});
    rows.push_back({"lifted index at 0 hPa", sf::computeLiftedIndex(20, 25, 0, -10), 0, 0});
    rows.push_back({"lifted index at 0 K", sf::computeLiftedIndex(-280, -273.16f, 1000, -10), 0, 0});
    rows.push_back({"lifted index, dew point missing", sf::computeLiftedIndex(-9999, 25, 1000, -10), 0, 0});
    rows.push_back({"Showalter (15, 20, 850, -10)", sf::computeShowalter(15, 20, 850, -10), 8.77, 0.005});
}

void addCondensationRows(std::vector<Row>& rows) {
    const float cases[][3] = {{25, 20, 1000}, {25, 25, 1000}, {20, 19.5f, 850}, {30, -10, 1000}, {40, -60, 1000}};
    const double pressures[] = {933.47, 1000, 850, 558.10, 217.20};
    const double tolerances[] = {0.005, 0, 0, 0.005, 0.005};
    for (int i = 0; i < 5; ++i) {
        const float* c = cases[i];
        rows.push_back({"LCL pressure (" + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ")",
                        sf::computeLclPressure(c[0], c[1], c[2]), pressures[i], tolerances[i]});
    }
    rows.push_back({"LCL temperature (25, 20, 1000)", sf::lclTemperatureAt(sf::computeLclPressure(25, 20, 1000), 25, 1000),
                    19.15, 0.005});
    rows.push_back({"LCL temperature (25, 25, 1000)", sf::lclTemperatureAt(1000, 25, 1000), 25, 0.00001});
    rows.push_back({"LCL temperature (30, -10, 1000)",
                    sf::lclTemperatureAt(sf::computeLclPressure(30, -10, 1000), 30, 1000), -16.87, 0.005});
}

// A station over `levels` after the mean wind, with 1 in its direction and
// speed beforehand so that a step that leaves them shows.
sf::SoundingStation withMeanWind(LevelRows& levels) {
    sf::SoundingStation station = stationOver(levels);
    station.meanWindDirection = 1;
    station.meanWindSpeed = 1;
    sf::computeMeanWind(station);
    return station;
}

void addMeanWindRows(std::vector<Row>& rows) {
    LevelRows east = {{1000, 10, 20, 0, 90, 10}, {500, 580, -20, -30, 90, 30}};
    LevelRows opposed = {{1000, 10, 20, 0, 0, 10}, {500, 580, -20, -30, 180, 10}};
    LevelRows calm = {{1000, 10, 20, 0, 90, 0}, {500, 580, -20, -30, 270, 0}};
    LevelRows unknown = {{1000, 10, -9999, 0, 90, 10}, {500, 580, -9999, -30, 270, 10}};
    const sf::SoundingStation e = withMeanWind(east);
    const sf::SoundingStation o = withMeanWind(opposed);
    const sf::SoundingStation c = withMeanWind(calm);
    const sf::SoundingStation u = withMeanWind(unknown);
    rows.insert(rows.end(), {
        {"mean wind U, easterly levels", e.meanWindU, -17.334, 0.0005},
        {"mean wind V, easterly levels", e.meanWindV, 0, 0.00001},
        {"mean wind speed, easterly levels", e.meanWindSpeed, 17.334, 0.0005},
        {"mean wind U, opposed levels", o.meanWindU, 0, 0.00001},
        {"mean wind V, opposed levels", o.meanWindV, 2.666, 0.0005},
        {"mean wind speed, opposed levels", o.meanWindSpeed, 2.666, 0.0005},
        {"mean wind speed of a calm", c.meanWindSpeed, 0, 0},
        {"mean wind direction of a calm", c.meanWindDirection, 0, 0},
        {"mean wind speed, temperatures missing", u.meanWindSpeed, 0, 0},
        {"mean wind direction, temperatures missing", u.meanWindDirection, 0, 0},
        {"mean wind U, temperatures missing", u.meanWindU, 0, 0},
    });
}

void addParcelEnergyRows(std::vector<Row>& rows) {
    rows.push_back({"saturation mixing ratio (293.16 K, 1000 hPa)",
                    static_cast<float>(sf::saturationMixingRatio(293.16f, 1000)), 14.8904, 0.00005});
    rows.push_back({"saturation mixing ratio (273.16 K, 500 hPa)",
                    static_cast<float>(sf::saturationMixingRatio(273.16f, 500)), 7.6917, 0.00005});
    rows.push_back({"moist adiabat at 500 hPa, θE 348.5789 K",
                    static_cast<float>(sf::moistParcelTemperature(500, 348.5789f, false).kelvin), 269.7127, 0.00005});
    rows.push_back({"moist adiabat at 300 hPa, θE 348.5789 K",
                    static_cast<float>(sf::moistParcelTemperature(300, 348.5789f, false).kelvin), 244.0194, 0.00005});

    LevelRows worked = workedSounding();
    EnergyRun run = parcelEnergyOf(worked, 907.96844f, 19.741547f, 9.710497f, -5.6214685f);
    const sf::SoundingStation& s = run.station;
    rows.push_back({"worked sounding: LCL height", s.lclHeight, 92.60, 0.005});
    rows.push_back({"worked sounding: LFC pressure", s.lfcPressure, 809, 0});
    rows.push_back({"worked sounding: LFC height", s.lfcHeight, 190.59, 0.005});
    rows.push_back({"worked sounding: LFC temperature", s.lfcTemperature, 15.59, 0.005});
    rows.push_back({"worked sounding: EL pressure", s.elPressure, 214, 0});
    rows.push_back({"worked sounding: CAPE", s.cape, 1338.97, 0.005});
    rows.push_back({"worked sounding: CIN", s.cin, -51.65, 0.005});
    rows.push_back({"worked sounding: bulk Richardson number", s.bulkRichardson, 21.27, 0.005});
    rows.push_back({"worked sounding: both progress lines", run.progress == kBothLines ? 1.0f : 0.0f, 1, 0});

    LevelRows stable = stableSounding();
    run = parcelEnergyOf(stable, 863.70416f, 7.8862767f, 9.710497f, -5.6214685f);
    rows.push_back({"stable sounding: LCL height", run.station.lclHeight, 133.57, 0.005});
    rows.push_back({"stable sounding: CIN", run.station.cin, -12496.96, 0.005});
    rows.push_back({"stable sounding: LFC pressure", run.station.lfcPressure, 0, 0});
    rows.push_back({"stable sounding: CAPE", run.station.cape, 0, 0});
    rows.push_back({"stable sounding: no progress line", run.progress.empty() ? 1.0f : 0.0f, 1, 0});

    worked = workedSounding();
    run = parcelEnergyOf(worked, 973.28540f, 25.660555f, 9.710497f, -5.6214685f);
    rows.push_back({"low LCL: LCL height", run.station.lclHeight, 33.23, 0.005});
    rows.push_back({"low LCL: LFC pressure", run.station.lfcPressure, 959, 0});
    rows.push_back({"low LCL: LFC height", run.station.lfcHeight, 45.91, 0.005});
    rows.push_back({"low LCL: LFC temperature", run.station.lfcTemperature, 25.14, 0.005});
    rows.push_back({"low LCL: EL pressure", run.station.elPressure, 154, 0});
    rows.push_back({"low LCL: CAPE", run.station.cape, 4497.50, 0.005});
    rows.push_back({"low LCL: CIN", run.station.cin, 0, 0});
    rows.push_back({"low LCL: bulk Richardson number", run.station.bulkRichardson, 71.45, 0.005});

    worked = workedSounding();
    run = parcelEnergyOf(worked, 0, 19.741547f, 9.710497f, -5.6214685f);
    rows.push_back({"LCL at 0 hPa: LCL height", run.station.lclHeight, 0, 0});
    rows.push_back({"LCL at 0 hPa: CIN", run.station.cin, 0, 0});
    rows.push_back({"LCL at 0 hPa: no progress line", run.progress.empty() ? 1.0f : 0.0f, 1, 0});
}

// Small files: a reader's block at given indices.
struct FileCase {
    const char* what;
    float* (*read)(const char*);
    std::string text;
    std::vector<std::pair<int, double>> expected;  // index, value
};

float* readAnalysed(const char* path) { return sf::readVelmorData5(path); }
float* readCharacteristic(const char* path) { return sf::readRozeduData(path); }

std::string tenLevels() {
    std::string text;
    for (int i = 0; i < 10; ++i) {
        text += std::to_string(1000 - 50 * i) + " 0 " + std::to_string(10 + 50 * i) + " " +
                std::to_string(20 - 5 * i) + " " + std::to_string(10 - 5 * i) + " 180 10\n";
    }
    return text;
}

std::string surfaceStation(int first) {
    std::string text;
    for (int i = 0; i < 24; ++i) {
        text += std::to_string(first + i) + " ";
    }
    return text + "\n";
}

void addFileRows(std::vector<Row>& rows) {
    const std::string tenLevelStation = "1 47001 30 120 10\n" + tenLevels();
    const std::string plainTwelve = "diamond 5 d\n9 6 1 0 1\n1 10 20 30 12\n1000 10 20 10 90 5\n900 100 15 5 90 10\n";
    const std::string shortFile =
        "March 5 d\n26 6 1 0 3\n1 10 20 30 12\n1000 10 20 10 90 5\n900 100 15 5 90 10\n2 10 20 30 6\n"
        "1000 10 20 10 90 5\n";
    const std::string surfaceTwo = "x 1 y 9 6 1 6 2\n" + surfaceStation(1) + surfaceStation(101);
    const std::string surfaceShort = "x 1 y 9 6 1 6 3\n" + surfaceStation(1) + surfaceStation(101) + "1 2 3\n";
    const std::string surfacePair = "x 1 y 9 6 1 6 2\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 1 2 "
                                    "77 88\n" + surfaceStation(101);
    const std::vector<FileCase> cases = {
        {"plain type-5, one station of 12 values", sf::readVelmor5Only, plainTwelve,
         {{0, 24}, {1, 2009}, {5, 1}, {6, 1}, {10, 2}, {11, 1000}, {22, 10}, {23, -9999}}},
        {"plain type-5, 3 declared, 2 complete", sf::readVelmor5Only, shortFile,
         {{0, 5 * 3 + 7 + 18}, {5, 2}, {23, 2}, {33, 5}, {34, -9999}, {39, -9999}}},
        {"type-5, 3 declared, 2 complete", readAnalysed, shortFile, {{0, 5 * 3 + 5 + 18 + 19 * 2 + 1}, {5, 2}}},
        {"type-5, tag in other letter case", readAnalysed, "Diamond 5 d\n26 6 1 0 1\n1 10 20 30 0\n", {{-1, 0}}},
        {"type-5, data type 4", readAnalysed, "diamond 4 d\n26 6 1 0 1\n1 10 20 30 0\n", {{-1, 0}}},
        {"type-5, station count 0", sf::readVelmor5Only, "diamond 5 d\n26 6 1 0 0\n", {{-1, 0}}},
        {"type-5, value count 0", readAnalysed, "diamond 5 d\n100 6 1 0 1\n7 10 20 30 0\n",
         {{0, 5 + 5 + 0 + 19 + 1}, {1, 100}, {10, 0}, {11, 0}, {29, 0}, {30, -9999}}},
        {"characteristic levels, one station of 10 levels", readCharacteristic, tenLevelStation,
         {{0, 90}, {1, -9999}, {4, -9999}, {5, 1}, {6, 47001}, {7, 120}, {8, 30}, {9, 0}, {10, 10}, {90, -9999}}},
        {"characteristic levels, stations of 10 and 0 levels", readCharacteristic,
         tenLevelStation + "2 47002 31 121 0\n", {{0, 114}, {5, 2}, {90, 47002}, {94, 0}, {95, 0}, {113, 0}, {114, -9999}}},
        {"characteristic levels, empty file", readCharacteristic, "",
         {{0, 6}, {1, -9999}, {4, -9999}, {5, 0}, {6, -9999}}},
        {"surface, two stations without the pair", sf::ReadVelmorData1, surfaceTwo,
         {{0, 9}, {4, 2}, {5, 1}, {28, 24}, {29, -9999}, {30, -9999}, {31, 101}, {55, -9999}, {56, -9999}}},
        {"surface, a station with the pair", sf::ReadVelmorData1, surfacePair, {{29, 77}, {30, 88}, {31, 101}}},
        {"surface, file ending in the third station", sf::ReadVelmorData1, surfaceShort,
         {{4, 2}, {57, -9999}, {59, -9999}, {82, -9999}}},
        {"surface, file ending in the first station", sf::ReadVelmorData1, "x 1 y 9 6 1 6 2\n1 2 3\n", {{-1, 0}}},
        {"surface, no stations", sf::ReadVelmorData1, "x 1 y 9 6 1 6 0\n", {{0, 9}, {4, 0}}},
    };
    const std::string path = scratchPath("worked_example.txt");
    for (const FileCase& c : cases) {
        std::FILE* file = std::fopen(path.c_str(), "w");
        std::fputs(c.text.c_str(), file);
        std::fclose(file);
        float* block = c.read(path.c_str());
        for (const auto& [index, value] : c.expected) {
            // Index -1: the reader is to return null.
            const float got = index < 0 ? (block == nullptr ? 0.0f : 1.0f) : (block == nullptr ? NAN : block[index]);
            rows.push_back({std::string(c.what) + " [" + std::to_string(index) + "]", got, value, 0});
        }
        std::free(block);
    }
    std::remove(path.c_str());
}

}  // namespace

int checkWorkedExamples() {
    std::vector<Row> rows;
    addStandardLevelRows(rows);
    addParcelIndexRows(rows);
    addCondensationRows(rows);
    addMeanWindRows(rows);
    addParcelEnergyRows(rows);
    addFileRows(rows);
    int failed = 0;
    for (const Row& row : rows) {
        if (std::fabs(row.computed - row.expected) <= row.tolerance) {
            continue;
        }
        ++failed;
        std::printf("worked example %s: straightforward 0x%08X (%.9g), expected %.9g within %g\n", row.what.c_str(),
                    std::bit_cast<std::uint32_t>(row.computed), row.computed, row.expected, row.tolerance);
    }
    std::printf("worked examples: %zu values, %s\n", rows.size(), failed == 0 ? "all as worked out" : "FAILED");
    return failed;
}

}  // namespace vivezeru5::bench
