#include "generated_files.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <stdexcept>
#include <vector>

#include <unistd.h>

namespace vivezeru5::bench {
namespace {

// Uniform numbers from the raw Mersenne Twister output, whose sequence the
// standard fixes, so that every platform writes the same files.
class Random {
public:
    explicit Random(std::uint32_t seed) : engine_(seed) {}
    double uniform() { return engine_() / 4294967296.0; }
    double between(double low, double high) { return low + (high - low) * uniform(); }
    int below(int bound) { return static_cast<int>(uniform() * bound); }
    bool chance(double probability) { return uniform() < probability; }

private:
    std::mt19937 engine_;
};

struct Level {
    double pressure, height, temperature, dewPoint, direction, speed;
    bool mandatory;
};

// Removes the scratch directory when the program ends.
class ScratchDirectory {
public:
    ScratchDirectory()
        : path_(std::filesystem::temp_directory_path() / ("vivezeru5-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

const std::filesystem::path& scratch() {
    static ScratchDirectory directory;
    return directory.path();
}

constexpr int kMandatoryLevels[] = {1000, 925, 850, 700, 500, 400, 300, 250, 200, 150, 100, 70, 50, 30, 20, 10};

// Pressures of one sounding, surface first: the mandatory levels above the
// surface (in most stations all of them) and significant levels spread in
// ln p, distinct whole hPa, 20 to 150 levels in all.
std::vector<std::pair<double, bool>> soundingPressures(Random& random, double surface) {
    const int levelCount = std::min(150, 20 + static_cast<int>(131 * std::pow(random.uniform(), 1.6)));
    const double top = 10 + 90 * random.uniform() * random.uniform();
    const bool allMandatory = random.chance(0.9);
    std::set<int, std::greater<>> whole;
    std::set<int> mandatory;
    for (const int p : kMandatoryLevels) {
        if (p < surface && p >= top && (allMandatory || random.chance(0.5))) {
            whole.insert(p);
            mandatory.insert(p);
        }
    }
    const int lowest = static_cast<int>(surface) - 1;
    const int highest = static_cast<int>(std::ceil(top));
    while (static_cast<int>(whole.size()) + 1 < levelCount && lowest > highest) {
        const double p = std::exp(random.between(std::log(highest), std::log(lowest)));
        whole.insert(std::clamp(static_cast<int>(p), highest, lowest));
    }
    std::vector<std::pair<double, bool>> pressures{{surface, false}};
    for (const int p : whole) {
        pressures.emplace_back(p, mandatory.count(p) != 0);
    }
    return pressures;
}

// Lapse rate (K/km) of the environment at `pressure`: a surface inversion
// and an elevated one in some stations, a troposphere between 5 and 9.8 K/km
// below and 5.5 to 7.5 K/km above 700 hPa, a stratosphere slightly warming.
struct LapseProfile {
    double surfaceInversionTop = 0, surfaceInversionRate = 0;
    double elevatedBase = 0, elevatedTop = 0, elevatedRate = 0;
    double lowerRate = 0, upperRate = 0, tropopause = 0, stratosphereRate = 0;

    double at(double pressure) const {
        if (pressure > surfaceInversionTop) {
            return surfaceInversionRate;
        }
        if (pressure < elevatedBase && pressure > elevatedTop) {
            return elevatedRate;
        }
        if (pressure < tropopause) {
            return stratosphereRate;
        }
        return pressure > 700 ? lowerRate : upperRate;
    }
};

// The tropopause lies higher over a warmer surface.
LapseProfile makeLapseProfile(Random& random, double surface, double surfaceTemperature) {
    LapseProfile profile;
    profile.surfaceInversionTop = surface;
    if (random.chance(0.3)) {
        profile.surfaceInversionTop = surface - random.between(10, 60);
        profile.surfaceInversionRate = -random.between(5, 20);
    }
    if (random.chance(0.25)) {
        profile.elevatedBase = random.between(600, 900);
        profile.elevatedTop = profile.elevatedBase - random.between(10, 50);
        profile.elevatedRate = -random.between(3, 15);
    }
    profile.lowerRate = random.between(5, 9.8);
    profile.upperRate = random.between(5.5, 7.5);
    profile.tropopause = std::clamp(280 - 3 * (surfaceTemperature + 25) + random.between(-30, 30), 90.0, 320.0);
    profile.stratosphereRate = -random.between(0, 2);
    return profile;
}

// Metres from `lower` to `upper` hPa for a layer of mean virtual temperature `kelvin`.
double hypsometricThickness(double kelvin, double lower, double upper) {
    return 287.05 / 9.80665 * kelvin * std::log(lower / upper);
}

// Standard-atmosphere height (m) of a surface pressure.
double elevationOf(double pressure) { return 44330.8 * (1 - std::pow(pressure / 1013.25, 0.190263)); }

std::vector<Level> makeSounding(Random& random) {
    const double surface = random.between(850, 1000);
    double temperature = random.between(-25, 35);
    const LapseProfile lapse = makeLapseProfile(random, surface, temperature);
    const double surfaceSpread = 0.5 + 15 * random.uniform() * random.uniform();
    const double spreadGrowth = random.between(5, 30);
    const double turning = random.between(0, 90);
    const double jet = random.between(20, 70);
    double height = elevationOf(surface);  // metres
    double direction = random.between(0, 360);
    std::vector<Level> levels;
    double previous = surface;
    for (const auto& [pressure, mandatory] : soundingPressures(random, surface)) {
        if (pressure < previous) {
            const double rate = lapse.at((pressure + previous) / 2);
            const double guess = hypsometricThickness(temperature + 273.15, previous, pressure);
            const double upperTemperature = temperature - rate * guess / 1000;
            height += hypsometricThickness((temperature + upperTemperature) / 2 + 273.15, previous, pressure);
            temperature = upperTemperature;
        }
        const double depth = 1 - pressure / surface;
        const double spread = surfaceSpread + spreadGrowth * depth + random.between(0, 3);
        const double jetShape = std::exp(-std::pow(std::log(pressure / 250), 2) * 2);
        const double speed = random.between(0, 6) + jet * jetShape + 8 * depth;
        const double veer = direction + turning * depth + random.between(-10, 10);
        levels.push_back({pressure, height / 10, temperature, temperature - std::max(spread, 1.0),
                          std::fmod(veer + 360, 360), speed, mandatory});
        previous = pressure;
    }
    return levels;
}

std::string formatted(const char* format, auto... values) {
    char line[256];
    const int length = std::snprintf(line, sizeof line, format, values...);
    return std::string(line, static_cast<std::size_t>(std::max(length, 0)));
}

// A missing height at a few significant levels, and with a share of missing
// values at any level.
double writtenHeight(Random& random, const Level& level, bool surface, double missingShare) {
    return (!surface && !level.mandatory && random.chance(0.04)) || (missingShare > 0 && random.chance(missingShare))
               ? 9999
               : level.height;
}

// Which of a level's temperature, dew point, wind direction and speed are
// written missing; no random number is drawn without a share.
struct MissingValues {
    bool temperature = false, dewPoint = false, direction = false, speed = false;
};

MissingValues drawMissing(Random& random, double share) {
    MissingValues missing;
    if (share > 0) {
        missing.temperature = random.chance(share);
        missing.dewPoint = random.chance(share);
        missing.direction = random.chance(share);
        missing.speed = random.chance(share);
    }
    return missing;
}

template <typename Number>
Number orMissing(bool missing, Number value) {
    return missing ? Number{-9999} : value;
}

std::string type5IntegerLevel(Random& random, const Level& level, bool surface, double missingShare) {
    const long temperature = std::lround(level.temperature);
    const long dewPoint = std::min(std::lround(level.dewPoint), temperature - 1);
    const long height = std::lround(writtenHeight(random, level, surface, missingShare));
    const MissingValues missing = drawMissing(random, missingShare);
    return formatted("%ld %ld %ld %ld %ld %ld\n", std::lround(level.pressure), height,
                     orMissing(missing.temperature, temperature), orMissing(missing.dewPoint, dewPoint),
                     orMissing(missing.direction, std::lround(level.direction) % 360),
                     orMissing(missing.speed, std::lround(level.speed)));
}

// Decimal files: pressures with a tenth at significant levels, heights in
// whole dam or tenths, temperatures, dew points and speeds in tenths.
std::string type5DecimalLevel(Random& random, const Level& level, bool surface, double missingShare) {
    const double pressure = level.mandatory ? level.pressure : level.pressure + random.below(10) / 10.0;
    const double temperature = std::round(level.temperature * 10) / 10;
    const double dewPoint = std::min(std::round(level.dewPoint * 10) / 10, temperature - 0.1);
    const double height = writtenHeight(random, level, surface, missingShare);
    const MissingValues missing = drawMissing(random, missingShare);
    return formatted(level.mandatory ? "%.0f %.1f %.1f %.1f %.0f %.1f\n" : "%.1f %.1f %.1f %.1f %.0f %.1f\n",
                     pressure, height, orMissing(missing.temperature, temperature),
                     orMissing(missing.dewPoint, dewPoint),
                     orMissing(missing.direction, std::fmod(std::round(level.direction), 360)),
                     orMissing(missing.speed, level.speed));
}

std::string soundingStation(Random& random, GeneratedFormat format, std::size_t index, double missingShare) {
    const std::vector<Level> levels = makeSounding(random);
    const double longitude = random.between(70, 135);
    const double latitude = random.between(15, 55);
    const std::size_t id = 50000 + index % 50000;
    std::string text;
    if (format == GeneratedFormat::Rozedu) {
        text = formatted("%zu %zu %.2f %.2f %zu\n", index + 1, id, latitude, longitude, levels.size());
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const Level& l = levels[i];
            const double height = writtenHeight(random, l, i == 0, missingShare);
            const MissingValues missing = drawMissing(random, missingShare);
            text += formatted("%.1f %zu %.1f %.1f %.1f %.1f %.1f\n", l.pressure, i, height,
                              orMissing(missing.temperature, l.temperature),
                              orMissing(missing.dewPoint, std::min(l.dewPoint, l.temperature - 0.1)),
                              orMissing(missing.direction, l.direction), orMissing(missing.speed, l.speed));
        }
        return text;
    }
    text = formatted("%zu %.2f %.2f %.0f %zu\n", id, longitude, latitude, levels.front().height * 10,
                     6 * levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i) {
        text += format == GeneratedFormat::Type5 ? type5IntegerLevel(random, levels[i], i == 0, missingShare)
                                                        : type5DecimalLevel(random, levels[i], i == 0, missingShare);
    }
    return text;
}

// One surface report: values 23 and 24 are 1 and 2 (the optional pair
// follows) in a third of the stations.
std::string surfaceStation(Random& random, std::size_t index) {
    const double temperature = random.between(-5, 30);
    const int kind = random.below(6);
    const bool pair = kind < 2;
    std::string text = formatted(
        "%zu %.2f %.2f %.1f 1 %d %d %d %.1f %.1f %d %d %.1f %d %d %d %.1f %.1f %d %.1f %d %d %d %d",
        50000 + index % 50000, random.between(70, 135), random.between(15, 55),
        3000 * random.uniform() * random.uniform(), random.below(10), random.below(360), random.below(12),
        random.between(995, 1025), random.between(-3, 3), random.below(9), random.below(9),
        10 * random.uniform() * random.uniform(), random.below(9), random.below(10), random.below(250),
        temperature - 10 * random.uniform(), random.between(0, 30), random.below(99), temperature,
        random.below(9), random.below(9), pair ? 1 : kind - 2, pair ? 2 : kind);
    if (pair) {
        text += formatted(" %.1f %.1f", random.between(-8, 8), random.between(-6, 6));
    }
    return text + "\n";
}

// A share of a surface report's values 2 to 22 written missing.
std::string withMissingValues(Random& random, const std::string& report, double share) {
    std::string text;
    std::size_t start = 0;
    for (int value = 1; start < report.size(); ++value) {
        const std::size_t end = std::min(report.find_first_of(" \n", start), report.size());
        const bool missing = value >= 2 && value <= 22 && random.chance(share);
        text += missing ? std::string("-9999") : report.substr(start, end - start);
        text += report.substr(end, 1);
        start = end + 1;
    }
    return text;
}

std::string stationText(Random& random, GeneratedFormat format, std::size_t index, double missingShare) {
    if (format != GeneratedFormat::Surface) {
        return soundingStation(random, format, index, missingShare);
    }
    const std::string report = surfaceStation(random, index);
    return missingShare > 0 ? withMissingValues(random, report, missingShare) : report;
}

std::string fileHeader(GeneratedFormat format, std::size_t stations) {
    switch (format) {
        case GeneratedFormat::Surface:
            return formatted("diamond 1 generated_surface_reports 26 6 1 6 %zu\n", stations);
        case GeneratedFormat::Rozedu:
            return "";
        default:
            return formatted("diamond 5 generated_soundings\n26 6 1 0 %zu\n", stations);
    }
}

std::uint32_t seedOf(GeneratedFormat format) { return 20260101u + static_cast<std::uint32_t>(format); }

std::ofstream openOutput(const std::string& path) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
    return file;
}

}  // namespace

std::string scratchPath(const std::string& name) { return (scratch() / name).string(); }

GeneratedFile generateFileOfSize(GeneratedFormat format, std::size_t bytes, const std::string& path,
                                 std::size_t maxStations, const GenerationOptions& options) {
    // The header holds the station count, so the stations go to a second file
    // first and are appended once their number is known.
    const std::string bodyPath = path + ".stations";
    Random random(options.seed.value_or(seedOf(format)));
    std::size_t stations = 0;
    std::size_t written = fileHeader(format, kMaxGeneratedStations).size();
    {
        std::ofstream body = openOutput(bodyPath);
        while (stations < std::min(maxStations, kMaxGeneratedStations)) {
            const std::string text = stationText(random, format, stations, options.missingShare);
            if (stations > 0 && written + text.size() > bytes) {
                break;
            }
            body << text;
            written += text.size();
            ++stations;
        }
    }
    {
        std::ofstream file = openOutput(path);
        file << fileHeader(format, stations);
        std::ifstream body(bodyPath, std::ios::binary);
        file << body.rdbuf();
    }
    std::filesystem::remove(bodyPath);
    return {path, static_cast<std::size_t>(std::filesystem::file_size(path)), stations};
}

bool formatFromName(const std::string& name, GeneratedFormat& format) {
    static const std::pair<const char*, GeneratedFormat> kNames[] = {
        {"type5", GeneratedFormat::Type5},
        {"type5-plain", GeneratedFormat::Type5Plain},
        {"rozedu", GeneratedFormat::Rozedu},
        {"surface", GeneratedFormat::Surface},
    };
    for (const auto& [known, value] : kNames) {
        if (name == known) {
            format = value;
            return true;
        }
    }
    return false;
}

}  // namespace vivezeru5::bench
