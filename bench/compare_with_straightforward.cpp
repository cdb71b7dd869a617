// The library's four readers against the straightforward implementation, on
// generated files: every float of every block compared bit for bit (NaN
// included), and the progress lines the library writes to standard output
// compared with those the straightforward readers collect.
//
//   vivezeru5_compare_straightforward [--stations N] [--file-stations M]
//       [--first-seed S] [--missing SHARE,SHARE,...] [--formats FORMAT,...]
//       [--shard I/K] [--reports R] [--file FORMAT:PATH]...
//
// For each format (type5, type5-plain, rozedu, surface; all by default), N
// stations (default 5000) in files of at most M stations (default: six files
// or more, none above 20,000). File f of a format is drawn from seed
// S + 4f + the format's place in that list (default S = 1), so that no two
// files share a seed, with the missing share SHARE[f mod count] (default
// 0,0.02,0.2). Each file is generated into a scratch directory, read by both
// sides and deleted. --shard I/K takes only the files f with f mod K = I, so
// that K processes share a run; --stations 0 generates none. --file
// FORMAT:PATH (repeatable) also compares a given file, read with the reader
// of FORMAT (in the first shard only; a surface file's station count is taken
// from its header). The method's worked examples are checked first.
//
// A difference prints the file, the format, the station (index and id), the
// slot and both floats as bits and decimals; at most R a format (default 20),
// all counted. One summary line a format; exit status 1 on any difference.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "generated_files.h"
#include "straightforward/readers.h"
#include "vivezeru5/vivezeru5.h"
#include "worked_examples.h"

namespace {

using vivezeru5::bench::GeneratedFile;
using vivezeru5::bench::GeneratedFormat;
namespace sf = vivezeru5::straightforward;

struct Options {
    long long stations = 5000;
    long long fileStations = 0;  // 0: six files or more, none above 20,000
    std::uint32_t firstSeed = 1;
    std::vector<double> missingShares = {0, 0.02, 0.2};
    std::vector<std::string> formats = {"type5", "type5-plain", "rozedu", "surface"};
    int shard = 0;
    int shards = 1;
    long long reports = 20;
    std::vector<std::pair<std::string, std::string>> files;  // format, path
};

struct FormatSides {
    float* (*library)(const char*);
    float* (*straightforward)(const char*, std::string*);
    bool analysed;
};

float* plainStraightforward(const char* path, std::string*) { return sf::readVelmor5Only(path); }
float* surfaceStraightforward(const char* path, std::string*) { return sf::ReadVelmorData1(path); }
float* type5Straightforward(const char* path, std::string* progress) { return sf::readVelmorData5(path, progress); }
float* rozeduStraightforward(const char* path, std::string* progress) { return sf::readRozeduData(path, progress); }

FormatSides sidesOf(GeneratedFormat format) {
    switch (format) {
        case GeneratedFormat::Type5:
            return {readVelmorData5, type5Straightforward, true};
        case GeneratedFormat::Type5Plain:
            return {readVelmor5Only, plainStraightforward, false};
        case GeneratedFormat::Rozedu:
            return {readRozeduData, rozeduStraightforward, true};
        case GeneratedFormat::Surface:
            break;
    }
    return {ReadVelmorData1, surfaceStraightforward, false};
}

// What the library wrote to standard output during one call: descriptor 1
// points at a scratch file for its length.
struct LibraryCall {
    float* block = nullptr;
    std::string output;
};

LibraryCall callCapturingStdout(float* (*reader)(const char*), const std::string& path, const std::string& capture) {
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int file = open(capture.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (saved < 0 || file < 0) {
        std::perror("capturing standard output");
        std::exit(2);
    }
    dup2(file, STDOUT_FILENO);
    close(file);
    LibraryCall call;
    call.block = reader(path.c_str());
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::ifstream in(capture, std::ios::binary);
    call.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::filesystem::remove(capture);
    return call;
}

constexpr const char* kDerivedNames[19] = {
    "freezing height", "freezing pressure", "K index",        "total totals",    "SWEAT index",
    "Showalter index", "LCL pressure",      "LCL temperature", "LCL height",      "mean wind direction",
    "mean wind speed", "lifted index",      "LFC pressure",    "LFC temperature", "LFC height",
    "EL pressure",     "CAPE",              "CIN",             "bulk Richardson number"};
constexpr const char* kLevelFields[6] = {"pressure", "height", "temperature", "dew point", "wind direction",
                                         "wind speed"};
constexpr const char* kSoundingHeader[6] = {"value count", "year", "month", "day", "hour", "stations"};
constexpr const char* kStationHeader[5] = {"id", "longitude", "latitude", "elevation", "level count"};
constexpr const char* kSurfaceHeader[5] = {"year", "month", "day", "hour", "stations with values"};

struct Tally {
    long long stations = 0;
    long long files = 0;
    long long floats = 0;
    long long differentFloats = 0;
    long long differentStations = 0;
    long long progressFiles = 0;  // files whose progress lines differ
    long long progressLines = 0;
    std::map<std::string, long long> bySlot;
    long long printed = 0;
};

// One file's comparison, walking the straightforward block's layout.
class FileComparison {
public:
    FileComparison(const std::string& name, const std::string& format, const float* library, const float* ours,
                   Tally& tally, long long reports)
        : name_(name), format_(format), library_(library), ours_(ours), tally_(tally), reports_(reports) {}

    // Compares [index, index + count) of one station (-1: the header or the
    // end); `slotOf(k)` names the k-th float. The slot named for the tally
    // is `family`, or the slot itself when empty.
    template <typename SlotName>
    void compare(long long index, long long count, long long station, long long id, SlotName slotOf,
                 const char* family = "") {
        for (long long k = 0; k < count; ++k) {
            const long long i = index + k;
            const auto a = std::bit_cast<std::uint32_t>(library_[i]);
            const auto b = std::bit_cast<std::uint32_t>(ours_[i]);
            ++tally_.floats;
            if (a == b) {
                continue;
            }
            const std::string slot = slotOf(k);
            ++tally_.differentFloats;
            ++tally_.bySlot[*family != '\0' ? std::string(family) : slot];
            if (station >= 0 && station != lastStation_) {
                ++tally_.differentStations;
                lastStation_ = station;
            }
            if (tally_.printed++ < reports_) {
                std::printf("%s [%s] station %lld (id %lld) %s, float %lld: library 0x%08X (%.9g), "
                            "straightforward 0x%08X (%.9g)\n",
                            name_.c_str(), format_.c_str(), station, id, slot.c_str(), i, a, library_[i], b,
                            ours_[i]);
            }
        }
    }

    void note(const std::string& what) {
        ++tally_.differentFloats;
        ++tally_.bySlot[what];
        if (tally_.printed++ < reports_) {
            std::printf("%s [%s] %s\n", name_.c_str(), format_.c_str(), what.c_str());
        }
    }

private:
    std::string name_, format_;
    const float* library_;
    const float* ours_;
    Tally& tally_;
    long long reports_;
    long long lastStation_ = -1;
};

// The floats of a sounding block that carry values or end marks.
long long soundingLength(const float* block, bool analysed) {
    const auto count = static_cast<long long>(block[0]);
    return analysed ? count + 1 : count;
}

void compareSoundingBlocks(FileComparison& c, const float* library, const float* ours, bool analysed) {
    c.compare(0, 6, -1, 0, [](long long k) { return std::string(kSoundingHeader[k]); });
    if (std::bit_cast<std::uint32_t>(library[0]) != std::bit_cast<std::uint32_t>(ours[0])) {
        c.note("value counts differ: the blocks are not compared further");
        return;
    }
    const long long length = soundingLength(ours, analysed);
    const auto stations = static_cast<long long>(ours[5]);
    long long at = 6;
    for (long long s = 0; s < stations && at + 5 <= length; ++s) {
        const auto id = static_cast<long long>(ours[at]);
        c.compare(at, 5, s, id, [](long long k) { return std::string(kStationHeader[k]); });
        const auto levels = static_cast<long long>(ours[at + 4]);
        if (library[at + 4] != ours[at + 4] || at + 5 + 6 * levels > length) {
            c.note("station " + std::to_string(s) + ": level counts differ: the blocks are not compared further");
            return;
        }
        at += 5;
        c.compare(at, 6 * levels, s, id,
                  [](long long k) { return "level " + std::to_string(k / 6) + " " + kLevelFields[k % 6]; },
                  "level values");
        at += 6 * levels;
        if (analysed) {
            c.compare(at, 19, s, id,
                      [](long long k) { return "slot " + std::to_string(k + 1) + " " + kDerivedNames[k]; });
            at += 19;
        }
    }
    c.compare(at, length - at, -1, 0, [](long long k) { return k == 0 ? "terminator" : "after the terminator"; });
}

void compareSurfaceBlocks(FileComparison& c, const float* ours, long long declared) {
    c.compare(0, 5, -1, 0, [](long long k) { return std::string(kSurfaceHeader[k]); });
    for (long long s = 0; s < declared; ++s) {
        const long long at = 5 + 26 * s;
        c.compare(at, 26, s, static_cast<long long>(ours[at]),
                  [](long long k) { return "value " + std::to_string(k + 1); });
    }
}

// The first line where the two outputs part, with both lines.
void compareProgress(const std::string& name, const std::string& format, const std::string& library,
                     const std::string& ours, Tally& tally, long long reports) {
    const auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
    tally.progressLines += lines(ours);
    if (library == ours) {
        return;
    }
    ++tally.progressFiles;
    std::istringstream a(library), b(ours);
    std::string lineA, lineB;
    long long line = 1;
    for (;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA || !moreB || lineA != lineB) {
            if (!moreA) lineA = "(no more lines)";
            if (!moreB) lineB = "(no more lines)";
            break;
        }
    }
    if (tally.printed++ < reports) {
        std::printf("%s [%s] progress lines part at line %lld: library \"%s\", straightforward \"%s\" "
                    "(library %ld lines, straightforward %ld)\n",
                    name.c_str(), format.c_str(), line, lineA.c_str(), lineB.c_str(),
                    static_cast<long>(lines(library)), static_cast<long>(lines(ours)));
    }
}

void compareFile(GeneratedFormat format, const std::string& formatName, const GeneratedFile& file,
                 const std::string& name, Tally& tally, const Options& options) {
    const FormatSides sides = sidesOf(format);
    const LibraryCall library =
        callCapturingStdout(sides.library, file.path, vivezeru5::bench::scratchPath("library_stdout.txt"));
    std::string progress;
    float* ours = sides.straightforward(file.path.c_str(), &progress);
    FileComparison comparison(name, formatName, library.block, ours, tally, options.reports);
    if (library.block == nullptr && ours == nullptr) {
        // Both reject the file.
    } else if (library.block == nullptr || ours == nullptr) {
        comparison.note(std::string("NULL block from ") +
                        (library.block == nullptr ? "the library" : "the straightforward reader"));
    } else if (format == GeneratedFormat::Surface) {
        compareSurfaceBlocks(comparison, ours, static_cast<long long>(file.stations));
    } else {
        compareSoundingBlocks(comparison, library.block, ours, sides.analysed);
    }
    compareProgress(name, formatName, library.output, progress, tally, options.reports);
    std::free(library.block);
    std::free(ours);
}

// The declared station count of a surface file, its eighth token.
std::size_t declaredSurfaceStations(const std::string& path) {
    std::ifstream in(path);
    std::string token;
    for (int i = 0; i < 8 && in >> token; ++i) {
    }
    return static_cast<std::size_t>(std::max(0L, std::strtol(token.c_str(), nullptr, 10)));
}

// Given files, one tally each.
bool compareGivenFiles(const Options& options) {
    bool same = true;
    for (const auto& [formatName, path] : options.files) {
        GeneratedFormat format{};
        if (!vivezeru5::bench::formatFromName(formatName, format)) {
            std::fprintf(stderr, "unknown format %s\n", formatName.c_str());
            std::exit(2);
        }
        GeneratedFile file{path, 0, format == GeneratedFormat::Surface ? declaredSurfaceStations(path) : 0};
        Tally tally;
        compareFile(format, formatName, file, path, tally, options);
        const bool identical = tally.differentFloats == 0 && tally.progressFiles == 0;
        std::printf("%s [%s]: %lld floats, %lld progress lines, %s\n", path.c_str(), formatName.c_str(), tally.floats,
                    tally.progressLines, identical ? "identical" : "DIFFERENT");
        same = same && identical;
    }
    return same;
}

bool parseList(const std::string& text, std::vector<std::string>& items) {
    items.clear();
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        items.push_back(item);
    }
    return !items.empty();
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[++i];
        std::vector<std::string> items;
        if (option == "--stations") {
            options.stations = std::stoll(value);
        } else if (option == "--file-stations") {
            options.fileStations = std::stoll(value);
        } else if (option == "--first-seed") {
            options.firstSeed = static_cast<std::uint32_t>(std::stoul(value));
        } else if (option == "--reports") {
            options.reports = std::stoll(value);
        } else if (option == "--missing" && parseList(value, items)) {
            options.missingShares.clear();
            for (const std::string& item : items) {
                options.missingShares.push_back(std::stod(item));
            }
        } else if (option == "--file" && value.find(':') != std::string::npos) {
            options.files.emplace_back(value.substr(0, value.find(':')), value.substr(value.find(':') + 1));
        } else if (option == "--formats" && parseList(value, options.formats)) {
        } else if (option == "--shard" && std::sscanf(value.c_str(), "%d/%d", &options.shard, &options.shards) == 2 &&
                   options.shards >= 1 && options.shard >= 0 && options.shard < options.shards) {
        } else {
            return false;
        }
    }
    return options.stations >= 0 && options.fileStations >= 0;
}

std::string shareText(double share) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", share);
    return text;
}

// Every file of every format has its own seed: S + 4f + the format's place.
std::uint32_t seedOf(const Options& options, GeneratedFormat format, long long file) {
    return options.firstSeed + static_cast<std::uint32_t>(4 * file + static_cast<int>(format));
}

// Compares every file of one format that belongs to this shard; true when
// all agree.
bool compareFormat(const std::string& formatName, const Options& options) {
    GeneratedFormat format{};
    if (!vivezeru5::bench::formatFromName(formatName, format)) {
        std::fprintf(stderr, "unknown format %s\n", formatName.c_str());
        std::exit(2);
    }
    const long long cap = std::min<long long>(20000, static_cast<long long>(vivezeru5::bench::kMaxGeneratedStations));
    const long long perFile = options.fileStations > 0
                                  ? std::min<long long>(options.fileStations, cap)
                                  : std::min(cap, (options.stations + 5) / 6);
    const long long files = (options.stations + perFile - 1) / perFile;
    Tally tally;
    std::vector<std::uint32_t> seeds;
    for (long long f = 0; f < files; ++f) {
        if (f % options.shards != options.shard) {
            continue;
        }
        const long long stations = std::min(perFile, options.stations - f * perFile);
        vivezeru5::bench::GenerationOptions generation;
        generation.seed = seedOf(options, format, f);
        generation.missingShare = options.missingShares[static_cast<std::size_t>(f) % options.missingShares.size()];
        seeds.push_back(*generation.seed);
        const std::string name = formatName + "-seed" + std::to_string(*generation.seed) + "-missing" +
                                 shareText(generation.missingShare) + ".txt";
        const GeneratedFile file = vivezeru5::bench::generateFileOfSize(
            format, std::size_t{1} << 40, vivezeru5::bench::scratchPath(name), static_cast<std::size_t>(stations),
            generation);
        compareFile(format, formatName, file, name, tally, options);
        std::filesystem::remove(file.path);
        tally.stations += static_cast<long long>(file.stations);
        ++tally.files;
    }
    std::string shares;
    for (const double share : options.missingShares) {
        if (!shares.empty()) {
            shares += ',';
        }
        shares += shareText(share);
    }
    const std::string seedRange = seeds.empty() ? "none"
                                                : std::to_string(seeds.front()) + ".." + std::to_string(seeds.back()) +
                                                      " step " + std::to_string(4 * options.shards);
    std::printf("%s: %lld stations, %lld files (seeds %s, missing shares %s), %lld floats, ", formatName.c_str(),
                tally.stations, tally.files, seedRange.c_str(), shares.c_str(), tally.floats);
    if (tally.differentFloats == 0 && tally.progressFiles == 0) {
        std::printf("%lld progress lines, identical\n", tally.progressLines);
        return true;
    }
    std::printf("%lld floats differ in %lld stations", tally.differentFloats, tally.differentStations);
    for (const auto& [slot, count] : tally.bySlot) {
        std::printf("; %s: %lld", slot.c_str(), count);
    }
    std::printf("; progress lines differ in %lld files\n", tally.progressFiles);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: vivezeru5_compare_straightforward [--stations N] [--file-stations M] [--first-seed S]\n"
                     "         [--missing SHARE,...] [--formats FORMAT,...] [--shard I/K] [--reports R]\n");
        return 2;
    }
    bool same = vivezeru5::bench::checkWorkedExamples() == 0;
    if (options.shard == 0) {
        same = compareGivenFiles(options) && same;
    }
    for (const std::string& format : options.stations > 0 ? options.formats : std::vector<std::string>{}) {
        same = compareFormat(format, options) && same;
    }
    std::fflush(stdout);
    return same ? 0 : 1;
}
