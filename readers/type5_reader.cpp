// Type-5 upper-air sounding files: readVelmorData5 (integer levels, analysed)
// and readVelmor5Only (real-number levels, not analysed) share one parse.
//
//   diamond 5 description
//   year month day hour stationCount
//   id longitude latitude elevation valueCount   (per station)
//   pressure height temperature dewPoint direction speed   (valueCount / 6 times)
#include <cstdint>
#include <optional>
#include <string>

#include "analysis/analyse_station.h"
#include "readers/export_boundary.h"
#include "readers/reader_calls.h"
#include "readers/reading_report.h"
#include "readers/sounding_file.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

constexpr std::size_t kTagLimit = 11;

enum class Type5Flavour {
    Analysed,  // readVelmorData5: integer level values, every station analysed
    Plain,     // readVelmor5Only: real-number level values, no analysis
};

// First line: tag ("diamond" or "March", whole token), data type 5, description.
// A tag longer than the limit is rejected as soon as it passes it.
bool readFileTag(TokenScanner& scanner) {
    std::string tag;
    std::string description;
    std::size_t descriptionLength = 0;
    std::int32_t dataType = 0;
    if (!scanner.readShortWord(tag, kTagLimit) || !scanner.readInt(dataType) ||
        !scanner.readWord(description, 0, descriptionLength)) {
        return false;
    }
    return dataType == 5 && (tag == "diamond" || tag == "March");
}

// Reads one level group into `level`; values that do not convert stay
// missing. Returns how many converted.
int readLevel(TokenScanner& scanner, Type5Flavour flavour, SoundingLevel& level) {
    float* const fields[kValuesPerLevel] = {&level.pressure, &level.height,        &level.temperature,
                                            &level.dewPoint, &level.windDirection, &level.windSpeed};
    if (flavour == Type5Flavour::Plain) {
        float values[kValuesPerLevel];
        const int converted = readFloats(scanner, values, kValuesPerLevel);
        for (int i = 0; i < converted; ++i) {
            *fields[i] = values[i];
        }
        return converted;
    }
    std::int32_t values[kValuesPerLevel];
    const int converted = readInts(scanner, values, kValuesPerLevel);
    for (int i = 0; i < converted; ++i) {
        *fields[i] = static_cast<float>(values[i]);
    }
    return converted;
}

struct StationHeader {
    std::int32_t stationId = 0;
    float longitude = 0;
    float latitude = 0;
    float elevation = 0;
    std::int32_t valueCount = 0;
};

// A station header; nothing when it does not convert, or when its value count
// is negative or claims more levels than the working limit (malformed; the
// refused count goes to the report).
std::optional<StationHeader> readStationHeader(TokenScanner& scanner, ReadingReport* report) {
    StationHeader header;
    float position[3] = {0, 0, 0};
    const bool converted = scanner.readInt(header.stationId) && readFloats(scanner, position, 3) == 3 &&
                           scanner.readInt(header.valueCount);
    if (!converted) {
        return std::nullopt;
    }
    if (header.valueCount < 0 || header.valueCount / kValuesPerLevel > kMaxStationLevels) {
        if (report != nullptr) {
            report->refusedCount = RefusedCount{header.stationId, header.valueCount};
        }
        return std::nullopt;
    }
    header.longitude = position[0];
    header.latitude = position[1];
    header.elevation = position[2];
    return header;
}

// Creates the station of `header` and reads its levels, counting the values
// converted; null when memory runs out.
SoundingStation* readStation(TokenScanner& scanner, Type5Flavour flavour, const StationHeader& header,
                             StationList& list, std::int64_t& converted) {
    SoundingStation* station = createStation(list);
    const std::int32_t levelCount = header.valueCount / kValuesPerLevel;
    if (station == nullptr || !allocateLevels(*station, levelCount)) {
        return nullptr;
    }
    station->stationId = header.stationId;
    station->longitude = header.longitude;
    station->latitude = header.latitude;
    station->elevation = header.elevation;
    station->levelCount = levelCount;
    for (std::int32_t i = 0; i < levelCount; ++i) {
        converted += readLevel(scanner, flavour, station->levels[i]);
    }
    return station;
}

// The analysing reader's element 0 is the terminator's index for complete
// files; the plain reader's counts the whole block.
PackingPlan planType5Block(Type5Flavour flavour, BlockHeader header, std::int64_t valueTotal) {
    if (flavour == Type5Flavour::Analysed) {
        const std::int64_t blockSize = valueTotal + std::int64_t{kDerivedValues} * header.stationCount + 2;
        header.valueCount = blockSize - 1;
        return PackingPlan{header, blockSize};
    }
    header.valueCount = valueTotal + 2;
    return PackingPlan{header, valueTotal + 2};
}

DerivedIndices derivedIndicesOf(Type5Flavour flavour) {
    return flavour == Type5Flavour::Analysed ? DerivedIndices::Packed : DerivedIndices::Omitted;
}

// Reads the stations of a type-5 file, one at a time in `list`, packs them,
// and plans the block.
std::optional<PackingPlan> readType5Stations(TokenScanner& scanner, Type5Flavour flavour,
                                             const ReadingContext& context, StationList& list,
                                             PackedStations& packed) {
    if (!readFileTag(scanner)) {
        return std::nullopt;
    }
    std::int32_t date[5];
    if (readInts(scanner, date, 5) < 5) {
        return std::nullopt;
    }
    const std::int64_t year = date[0] < 100 ? std::int64_t{date[0]} + 2000 : date[0];
    if (context.report != nullptr) {
        context.report->yearAsWritten = date[0];
    }
    const std::int64_t declared = date[4];
    if (declared < 1 || declared > kMaxDeclaredStations) {
        return std::nullopt;
    }
    ReadingReport* const report = context.report;
    // Every declared station counts its five header values, read or not.
    std::int64_t valueTotal = 5 * declared + 5;
    std::int64_t stationsRead = declared;
    for (std::int64_t k = 0; k < declared; ++k) {
        const long stationStart = report != nullptr ? scanner.position() : -1;
        const std::optional<StationHeader> header = readStationHeader(scanner, report);
        if (!header) {
            stationsRead = k;
            noteEarlyStop(report, stationStart);
            break;
        }
        valueTotal += header->valueCount;
        std::int64_t converted = 0;
        SoundingStation* station = readStation(scanner, flavour, *header, list, converted);
        if (station == nullptr) {
            return std::nullopt;  // out of memory
        }
        const bool analysed = flavour == Type5Flavour::Analysed && header->valueCount >= kValuesPerLevel;
        StationOutcomes* outcomes = noteStation(report, header->stationId, header->valueCount,
                                                std::int64_t{station->levelCount} * kValuesPerLevel, converted,
                                                flavour == Type5Flavour::Analysed);
        if (analysed) {
            analyseStation(*station, context.progress, outcomes);
        }
        if (!packed.append(*station, derivedIndicesOf(flavour))) {
            return std::nullopt;  // out of memory
        }
        releaseStationList(list);
    }
    noteEnd(report, scanner, declared, stationsRead);
    const BlockHeader blockHeader{0, static_cast<float>(year), static_cast<float>(date[1]),
                                  static_cast<float>(date[2]), static_cast<float>(date[3]), stationsRead};
    return planType5Block(flavour, blockHeader, valueTotal);
}

float* readType5File(const char* path, Type5Flavour flavour, const ReadingContext& context) {
    return readSoundingFile(path, context,
                            [flavour, &context](TokenScanner& scanner, StationList& list, PackedStations& packed) {
                                return readType5Stations(scanner, flavour, context, list, packed);
                            });
}

}  // namespace

float* readType5Analysed(const char* path, const ReadingContext& context) {
    return readType5File(path, Type5Flavour::Analysed, context);
}

float* readType5Plain(const char* path, const ReadingContext& context) {
    return readType5File(path, Type5Flavour::Plain, context);
}

}  // namespace vivezeru5

extern "C" VIVEZERU5_API float* VIVEZERU5_CALL readVelmorData5(const char* path) {
    using namespace vivezeru5;
    return readWithinBoundary([path] { return readType5Analysed(path, exportedReaderContext()); });
}

extern "C" VIVEZERU5_API float* VIVEZERU5_CALL readVelmor5Only(const char* path) {
    using namespace vivezeru5;
    return readWithinBoundary([path] { return readType5Plain(path, exportedReaderContext()); });
}
