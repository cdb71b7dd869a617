#include "generated_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <vector>

#include <unistd.h>

namespace vivezeru5::bench {
namespace {

struct Level {
    double pressure, height, temperature, dewPoint, direction, speed;
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

// One sounding from a surface state: hydrostatic heights from the virtual
// temperature, a 6.5 K/km lapse rate above a well-mixed layer, an isothermal
// stratosphere, humidity drying with height.
std::vector<Level> makeSounding(std::mt19937& random, int levels) {
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const double surfacePressure = 1015.0 - 250.0 * uniform(random) * uniform(random);
    const double surfaceTemperature = -10.0 + 42.0 * uniform(random);
    const double surfaceSpread = 1.0 + 12.0 * uniform(random);
    const double tropopause = 180.0 + 100.0 * uniform(random);
    const double surfaceDirection = 360.0 * uniform(random);
    std::vector<Level> profile;
    double height = 100.0 * uniform(random);  // dam
    double temperature = surfaceTemperature;
    double pressure = surfacePressure;
    const double top = 100.0;
    const double step = std::log(surfacePressure / top) / std::max(levels - 1, 1);
    for (int i = 0; i < levels; ++i) {
        const double next = surfacePressure * std::exp(-step * i);
        if (i > 0) {
            const double kelvin = temperature + 273.15;
            height += 29.27 * kelvin * std::log(pressure / next) / 10.0;
            const double lapse = next > tropopause ? 0.65 : 0.0;  // K per dam
            temperature -= lapse * 29.27 * kelvin * std::log(pressure / next) / 10.0;
            pressure = next;
        }
        const double spread = surfaceSpread + 25.0 * (1.0 - pressure / surfacePressure);
        const double fraction = static_cast<double>(i) / std::max(levels - 1, 1);
        profile.push_back({pressure, height, temperature, temperature - spread,
                           std::fmod(surfaceDirection + 90.0 * fraction, 360.0), 2.0 + 40.0 * fraction});
    }
    return profile;
}

std::FILE* openOutput(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    return file;
}

}  // namespace

GeneratedFile generateFile(GeneratedFormat format, std::size_t stations, int levels) {
    static const char* const kNames[] = {"type5", "type5-plain", "rozedu", "surface"};
    GeneratedFile generated;
    generated.path = (scratch() / (std::string(kNames[static_cast<int>(format)]) + "_" +
                                   std::to_string(stations) + ".txt"))
                         .string();
    generated.stations = stations;
    std::mt19937 random(20260101u + static_cast<unsigned>(format));
    std::uniform_real_distribution<double> longitude(70.0, 135.0);
    std::uniform_real_distribution<double> latitude(15.0, 55.0);
    std::FILE* file = openOutput(generated.path);

    if (format == GeneratedFormat::Surface) {
        std::uniform_real_distribution<double> uniform(0.0, 1.0);
        std::fprintf(file, "diamond 1 generated_surface_reports 26 6 1 6 %zu\n", stations);
        for (std::size_t k = 0; k < stations; ++k) {
            const bool pair = k % 3 == 0;
            const double temperature = -5.0 + 35.0 * uniform(random);
            std::fprintf(file,
                         "%zu %.2f %.2f %.1f 1 %d %d %d %.1f %.1f %d %d %.1f %d %d %d %.1f %.1f %d %.1f %d %d %d %d",
                         50000 + k, longitude(random), latitude(random), 3000.0 * uniform(random) * uniform(random),
                         static_cast<int>(10 * uniform(random)), static_cast<int>(360 * uniform(random)),
                         static_cast<int>(12 * uniform(random)), 995.0 + 30.0 * uniform(random),
                         -3.0 + 6.0 * uniform(random), static_cast<int>(9 * uniform(random)),
                         static_cast<int>(9 * uniform(random)), 10.0 * uniform(random) * uniform(random),
                         static_cast<int>(9 * uniform(random)), static_cast<int>(10 * uniform(random)),
                         static_cast<int>(250 * uniform(random)), temperature - 10.0 * uniform(random),
                         30.0 * uniform(random), static_cast<int>(99 * uniform(random)), temperature,
                         static_cast<int>(9 * uniform(random)), static_cast<int>(9 * uniform(random)), pair ? 1 : 0,
                         pair ? 2 : 0);
            if (pair) {
                std::fprintf(file, " %.1f %.1f", -8.0 + 16.0 * uniform(random), -6.0 + 12.0 * uniform(random));
            }
            std::fputc('\n', file);
        }
    } else {
        if (format != GeneratedFormat::Rozedu) {
            std::fprintf(file, "diamond 5 generated_soundings\n26 6 1 0 %zu\n", stations);
        }
        for (std::size_t k = 0; k < stations; ++k) {
            const std::vector<Level> profile = makeSounding(random, levels);
            const double lon = longitude(random);
            const double lat = latitude(random);
            const std::size_t id = 50000 + k;
            if (format == GeneratedFormat::Rozedu) {
                std::fprintf(file, "%zu %zu %.2f %.2f %zu\n", k + 1, id, lat, lon, profile.size());
                for (std::size_t i = 0; i < profile.size(); ++i) {
                    const Level& l = profile[i];
                    std::fprintf(file, "%.1f %zu %.1f %.1f %.1f %.0f %.1f\n", l.pressure, i, l.height, l.temperature,
                                 l.dewPoint, l.direction, l.speed);
                }
                continue;
            }
            std::fprintf(file, "%zu %.2f %.2f %.0f %zu\n", id, lon, lat, profile.front().height * 10.0,
                         6 * profile.size());
            for (const Level& l : profile) {
                if (format == GeneratedFormat::Type5) {
                    std::fprintf(file, "%.0f %.0f %.0f %.0f %.0f %.0f\n", l.pressure, l.height, l.temperature,
                                 l.dewPoint, l.direction, l.speed);
                } else {
                    std::fprintf(file, "%.0f %.1f %.1f %.1f %.0f %.1f\n", l.pressure, l.height, l.temperature,
                                 l.dewPoint, l.direction, l.speed);
                }
            }
        }
    }
    std::fclose(file);
    generated.bytes = static_cast<std::size_t>(std::filesystem::file_size(generated.path));
    return generated;
}

}  // namespace vivezeru5::bench
