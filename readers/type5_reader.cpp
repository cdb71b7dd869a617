// Type-5 upper-air sounding files: readVelmorData5 (integer levels, analysed)
// and readVelmor5Only (real-number levels, not analysed) share one parse.
//
//   diamond 5 description
//   year month day hour stationCount
//   id longitude latitude elevation valueCount   (per station)
//   pressure height temperature dewPoint direction speed   (valueCount / 6 times)
#include <cstdint>
#include <string>

#include "analysis/analyse_station.h"
#include "readers/block_packing.h"
#include "readers/data_file.h"
#include "readers/sounding_records.h"
#include "readers/token_scanner.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

constexpr std::size_t kTagLimit = 11;

enum class Type5Flavour {
    Analysed,  // readVelmorData5: integer level values, every station analysed
    Plain,     // readVelmor5Only: real-number level values, no analysis
};

struct Type5Contents {
    bool accepted = false;
    BlockHeader header{};
    std::int64_t valueTotal = 0;
    std::int64_t stationsRead = 0;
    bool outOfMemory = false;
};

// First line: tag ("diamond" or "March", whole token), data type 5, description.
bool readFileTag(TokenScanner& scanner) {
    std::string tag;
    std::string description;
    std::size_t tagLength = 0;
    std::size_t descriptionLength = 0;
    std::int32_t dataType = 0;
    if (!scanner.readWord(tag, kTagLimit, tagLength) || !scanner.readInt(dataType) ||
        !scanner.readWord(description, 0, descriptionLength)) {
        return false;
    }
    if (dataType != 5) {
        return false;
    }
    return tagLength <= kTagLimit && (tag == "diamond" || tag == "March");
}

// Reads one level group into `level`; values that do not convert stay missing.
void readLevel(TokenScanner& scanner, Type5Flavour flavour, SoundingLevel& level) {
    float* const fields[kValuesPerLevel] = {&level.pressure, &level.height,        &level.temperature,
                                            &level.dewPoint, &level.windDirection, &level.windSpeed};
    if (flavour == Type5Flavour::Plain) {
        float values[kValuesPerLevel];
        const int converted = readFloats(scanner, values, kValuesPerLevel);
        for (int i = 0; i < converted; ++i) {
            *fields[i] = values[i];
        }
    } else {
        std::int32_t values[kValuesPerLevel];
        const int converted = readInts(scanner, values, kValuesPerLevel);
        for (int i = 0; i < converted; ++i) {
            *fields[i] = static_cast<float>(values[i]);
        }
    }
}

// Reads the stations of a type-5 file into `list`.
Type5Contents readType5Stations(TokenScanner& scanner, Type5Flavour flavour, StationList& list) {
    Type5Contents contents;
    if (!readFileTag(scanner)) {
        return contents;
    }
    std::int32_t date[5];
    if (readInts(scanner, date, 5) < 5) {
        return contents;
    }
    const std::int64_t year = date[0] < 100 ? std::int64_t{date[0]} + 2000 : date[0];
    const std::int64_t declared = date[4];
    if (declared < 1 || declared > kMaxDeclaredStations) {
        return contents;
    }
    contents.accepted = true;
    contents.header = {0, static_cast<float>(year), static_cast<float>(date[1]),
                       static_cast<float>(date[2]), static_cast<float>(date[3]), declared};
    contents.valueTotal = 5 * declared + 5;
    contents.stationsRead = declared;

    for (std::int64_t k = 0; k < declared; ++k) {
        std::int32_t stationId = 0;
        float position[3] = {0, 0, 0};  // longitude, latitude, elevation
        std::int32_t valueCount = 0;
        const bool headerRead = scanner.readInt(stationId) && readFloats(scanner, position, 3) == 3 &&
                                scanner.readInt(valueCount);
        // A negative value count, or one of more levels than the working limit, is malformed.
        if (!headerRead || valueCount < 0 || valueCount / kValuesPerLevel > kMaxStationLevels) {
            contents.stationsRead = k;
            break;
        }
        contents.valueTotal += valueCount;
        SoundingStation* station = createStation(list);
        const std::int32_t levelCount = valueCount / kValuesPerLevel;
        if (station == nullptr || !allocateLevels(*station, levelCount)) {
            contents.outOfMemory = true;
            return contents;
        }
        station->stationId = stationId;
        station->longitude = position[0];
        station->latitude = position[1];
        station->elevation = position[2];
        station->levelCount = levelCount;
        for (std::int32_t i = 0; i < levelCount; ++i) {
            readLevel(scanner, flavour, station->levels[i]);
        }
        if (flavour == Type5Flavour::Analysed && levelCount >= 1) {
            analyseStation();
        }
    }
    return contents;
}

float* readType5File(const char* path, Type5Flavour flavour) {
    DataFile file(path);
    if (!file.isOpen()) {
        reportUnopenableSoundingFile();
        return nullptr;
    }
    StationList list;
    TokenScanner scanner(file.handle());
    Type5Contents contents = readType5Stations(scanner, flavour, list);
    file.close();

    float* block = nullptr;
    if (contents.accepted && !contents.outOfMemory) {
        std::int64_t blockSize = 0;
        if (flavour == Type5Flavour::Analysed) {
            // Element 0 is the terminator's index for complete files.
            blockSize = contents.valueTotal + std::int64_t{kDerivedValues} * contents.stationsRead + 2;
            contents.header.valueCount = blockSize - 1;
        } else {
            // Element 0 counts the whole block.
            blockSize = contents.valueTotal + 2;
            contents.header.valueCount = blockSize;
        }
        contents.header.stationCount = contents.stationsRead;
        const DerivedIndices derived =
            flavour == Type5Flavour::Analysed ? DerivedIndices::Packed : DerivedIndices::Omitted;
        block = packStationList(list, contents.header, derived, blockSize);
    }
    releaseStationList(list);
    return block;
}

}  // namespace
}  // namespace vivezeru5

extern "C" VIVEZERU5_API float* VIVEZERU5_CALL readVelmorData5(const char* path) {
    return vivezeru5::readType5File(path, vivezeru5::Type5Flavour::Analysed);
}

extern "C" VIVEZERU5_API float* VIVEZERU5_CALL readVelmor5Only(const char* path) {
    return vivezeru5::readType5File(path, vivezeru5::Type5Flavour::Plain);
}
