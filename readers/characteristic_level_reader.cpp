// Characteristic-level sounding files (readRozeduData): no file header; per
// station
//   unused id latitude longitude levelCount
//   pressure unused height temperature dewPoint direction speed   (levelCount times)
// read until a station line does not convert.
#include <cstdint>
#include <optional>

#include "analysis/analyse_station.h"
#include "readers/export_boundary.h"
#include "readers/reader_calls.h"
#include "readers/sounding_file.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

constexpr int kGroupValues = 7;

// Reads one level group into `level`; returns how many of its values converted.
int readCharacteristicLevel(TokenScanner& scanner, SoundingLevel& level) {
    float values[kGroupValues] = {kMissingValue, kMissingValue, kMissingValue, kMissingValue,
                                  kMissingValue, kMissingValue, kMissingValue};
    const int converted = readFloats(scanner, values, kGroupValues);
    level.pressure = values[0];  // values[1] is read and not used
    level.height = values[2];
    level.temperature = values[3];
    level.dewPoint = values[4];
    level.windDirection = values[5];
    level.windSpeed = values[6];
    return converted;
}

// Reads stations until a station line does not convert, and plans the block:
// element 0 counts the header and every packed station, the terminator
// stands at that index, and the date slots hold the missing value.
std::optional<PackingPlan> readCharacteristicStations(TokenScanner& scanner, const ReadingContext& context,
                                                      StationList& list, PackedStations& packed) {
    ReadingReport* const report = context.report;
    std::int64_t valueCount = kHeaderValues;
    std::int64_t stationCount = 0;
    while (true) {
        const long stationStart = report != nullptr ? scanner.position() : -1;
        std::int32_t unused = 0;
        std::int32_t stationId = 0;
        float latitude = 0;
        float longitude = 0;
        std::int32_t levelCount = 0;
        const bool lineRead = scanner.readInt(unused) && scanner.readInt(stationId) &&
                              scanner.readFloat(latitude) && scanner.readFloat(longitude) &&
                              scanner.readInt(levelCount);
        // A negative level count, or one above the working limit, is malformed.
        if (!lineRead || levelCount < 0 || levelCount > kMaxStationLevels) {
            if (lineRead && report != nullptr) {
                report->refusedCount = RefusedCount{stationId, levelCount};
            }
            noteEarlyStop(report, stationStart);
            break;
        }
        valueCount += std::int64_t{kValuesPerLevel} * levelCount + kStationValues + kDerivedValues;
        SoundingStation* station = createStation(list);
        if (station == nullptr || !allocateLevels(*station, levelCount)) {
            return std::nullopt;  // out of memory
        }
        station->stationId = stationId;
        station->levelCount = levelCount;
        station->longitude = longitude;
        station->latitude = latitude;
        station->elevation = 0;  // the format carries no elevation
        ++stationCount;
        std::int64_t converted = 0;
        for (std::int32_t i = 0; i < levelCount; ++i) {
            converted += readCharacteristicLevel(scanner, station->levels[i]);
        }
        const std::int64_t values = std::int64_t{kGroupValues} * levelCount;
        StationOutcomes* outcomes = noteStation(report, stationId, values, values, converted, true);
        if (levelCount >= 1) {
            analyseStation(*station, context.progress, outcomes);
        }
        if (!packed.append(*station, DerivedIndices::Packed)) {
            return std::nullopt;  // out of memory
        }
        releaseStationList(list);
    }
    noteEnd(report, scanner, -1, stationCount);
    const BlockHeader header{valueCount,    kMissingValue, kMissingValue,
                             kMissingValue, kMissingValue, stationCount};
    return PackingPlan{header, valueCount + 1};
}

}  // namespace

float* readCharacteristicLevels(const char* path, const ReadingContext& context) {
    return readSoundingFile(path, context, [&context](TokenScanner& scanner, StationList& list, PackedStations& packed) {
        return readCharacteristicStations(scanner, context, list, packed);
    });
}

}  // namespace vivezeru5

extern "C" VIVEZERU5_API float* VIVEZERU5_CALL readRozeduData(const char* path) {
    using namespace vivezeru5;
    return readWithinBoundary([path] { return readCharacteristicLevels(path, exportedReaderContext()); });
}
