// Characteristic-level sounding files (readRozeduData): no file header; per
// station
//   unused id latitude longitude levelCount
//   pressure unused height temperature dewPoint direction speed   (levelCount times)
// read until a station line does not convert.
#include <cstdint>

#include "analysis/analyse_station.h"
#include "readers/block_packing.h"
#include "readers/data_file.h"
#include "readers/sounding_records.h"
#include "readers/token_scanner.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

constexpr int kGroupValues = 7;

void readCharacteristicLevel(TokenScanner& scanner, SoundingLevel& level) {
    float values[kGroupValues] = {kMissingValue, kMissingValue, kMissingValue, kMissingValue,
                                  kMissingValue, kMissingValue, kMissingValue};
    readFloats(scanner, values, kGroupValues);
    level.pressure = values[0];  // values[1] is read and not used
    level.height = values[2];
    level.temperature = values[3];
    level.dewPoint = values[4];
    level.windDirection = values[5];
    level.windSpeed = values[6];
}

struct CharacteristicContents {
    std::int64_t valueCount = kHeaderValues;
    std::int64_t stationCount = 0;
    bool outOfMemory = false;
};

CharacteristicContents readCharacteristicStations(TokenScanner& scanner, StationList& list) {
    CharacteristicContents contents;
    while (true) {
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
            return contents;
        }
        contents.valueCount += std::int64_t{kValuesPerLevel} * levelCount + kStationValues + kDerivedValues;
        SoundingStation* station = createStation(list);
        if (station == nullptr || !allocateLevels(*station, levelCount)) {
            contents.outOfMemory = true;
            return contents;
        }
        station->stationId = stationId;
        station->levelCount = levelCount;
        station->longitude = longitude;
        station->latitude = latitude;
        station->elevation = 0;  // the format carries no elevation
        ++contents.stationCount;
        for (std::int32_t i = 0; i < levelCount; ++i) {
            readCharacteristicLevel(scanner, station->levels[i]);
        }
        if (levelCount >= 1) {
            analyseStation();
        }
    }
}

}  // namespace
}  // namespace vivezeru5

extern "C" VIVEZERU5_API float* VIVEZERU5_CALL readRozeduData(const char* path) {
    using namespace vivezeru5;
    DataFile file(path);
    if (!file.isOpen()) {
        reportUnopenableSoundingFile();
        return nullptr;
    }
    StationList list;
    TokenScanner scanner(file.handle());
    const CharacteristicContents contents = readCharacteristicStations(scanner, list);
    file.close();

    float* block = nullptr;
    if (!contents.outOfMemory) {
        // The format has no date: slots 1 to 4 hold the missing value. The
        // terminator stands at index element 0.
        const BlockHeader header{contents.valueCount, kMissingValue, kMissingValue,
                                 kMissingValue,       kMissingValue, contents.stationCount};
        block = packStationList(list, header, DerivedIndices::Packed, contents.valueCount + 1);
    }
    releaseStationList(list);
    return block;
}
