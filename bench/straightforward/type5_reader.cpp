// The type-5 sounding file, read by readVelmorData5 (integer levels,
// analysed) and readVelmor5Only (real-number levels, no analysis):
//
//   tag data-type description            "%s %d %s"
//   year month day hour station-count    "%d %d %d %d %d"
//   per station: id lon lat elevation value-count   "%d %f %f %f %d"
//   then value-count / 6 groups of six: pressure height temperature
//   dew-point wind-direction wind-speed.
#include <cstdio>
#include <cstring>

#include "straightforward/analyse_station.h"
#include "straightforward/block_packing.h"
#include "straightforward/readers.h"
#include "straightforward/reading_limits.h"
#include "straightforward/records.h"

namespace vivezeru5::straightforward {
namespace {

enum class Flavour { IntegerLevelsAnalysed, RealLevels };

struct Type5File {
    int year = 0, month = 0, day = 0, hour = 0;
    int declared = 0;
    long long valueTotal = 0;  // 5 a declared station + 5 + every value count read
    int stationsRead = 0;
    StationList stations;
};

// The first line and the date line; false when the file is to be rejected.
// The description is kept to 107 characters (99 for the real-number reader)
// and the rest of its word is passed over.
bool readHeader(std::FILE* file, Flavour flavour, Type5File& data) {
    char tag[12];
    char description[108];
    int dataType = 0;
    const char* firstLine = flavour == Flavour::IntegerLevelsAnalysed ? "%11s %d %107s" : "%11s %d %99s";
    if (std::fscanf(file, firstLine, tag, &dataType, description) != 3) {
        return false;
    }
    passOverRestOfWord(file);
    if (dataType != 5 || (std::strcmp(tag, "diamond") != 0 && std::strcmp(tag, "March") != 0)) {
        return false;
    }
    if (std::fscanf(file, "%d %d %d %d %d", &data.year, &data.month, &data.day, &data.hour, &data.declared) != 5) {
        return false;
    }
    if (data.year < 100) {
        data.year += 2000;  // two-digit years
    }
    return data.declared >= 1 && data.declared <= kMaxCount;
}

// One level group. A value that does not convert stays missing.
void readLevel(std::FILE* file, Flavour flavour, SoundingLevel& level) {
    if (flavour == Flavour::RealLevels) {
        std::fscanf(file, "%f %f %f %f %f %f", &level.pressure, &level.height, &level.temperature, &level.dewPoint,
                    &level.windDirection, &level.windSpeed);
        return;
    }
    int values[6];
    const int converted = std::fscanf(file, "%d %d %d %d %d %d", &values[0], &values[1], &values[2], &values[3],
                                      &values[4], &values[5]);
    float* const inOrder[6] = {&level.pressure, &level.height, &level.temperature,
                               &level.dewPoint, &level.windDirection, &level.windSpeed};
    for (int i = 0; i < converted; ++i) {
        *inOrder[i] = static_cast<float>(values[i]);
    }
}

// The stations, up to the declared count. A header that does not convert
// five values, or declares a negative value count or more than a million
// levels, ends the reading. False when memory runs out.
bool readStations(std::FILE* file, Flavour flavour, Type5File& data, std::string* progress) {
    data.valueTotal = 5LL * data.declared + 5;
    data.stationsRead = data.declared;
    for (int k = 0; k < data.declared; ++k) {
        int id = 0;
        int valueCount = 0;
        float longitude = 0, latitude = 0, elevation = 0;
        if (std::fscanf(file, "%d %f %f %f %d", &id, &longitude, &latitude, &elevation, &valueCount) != 5 ||
            valueCount < 0 || valueCount / 6 > kMaxCount) {
            data.stationsRead = k;
            return true;
        }
        data.valueTotal += valueCount;
        SoundingStation* station = appendStation(data.stations, valueCount / 6);
        if (station == nullptr) {
            return false;
        }
        station->stationId = id;
        station->longitude = longitude;
        station->latitude = latitude;
        station->elevation = elevation;
        for (int i = 0; i < station->levelCount; ++i) {
            readLevel(file, flavour, station->levels[i]);
        }
        if (flavour == Flavour::IntegerLevelsAnalysed && station->levelCount >= 1) {
            analyseStation(*station, progress);
        }
    }
    return true;
}

float* readType5(const char* path, Flavour flavour, std::string* progress) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        reportUnopenableFile();
        return nullptr;
    }
    Type5File data;
    const bool read = readHeader(file, flavour, data) && readStations(file, flavour, data, progress);
    std::fclose(file);
    float* block = nullptr;
    if (read) {
        // Element 0: the terminator's index for the analysed blocks, the
        // number of floats for the plain ones.
        const bool analysed = flavour == Flavour::IntegerLevelsAnalysed;
        const long long count =
            analysed ? data.valueTotal + static_cast<long long>(kDerivedCount) * data.stationsRead + 1
                     : data.valueTotal + 2;
        block = allocateBlock(countAsStored(count) + (analysed ? 1 : 0));
        if (block != nullptr) {
            block[0] = static_cast<float>(count);
            block[1] = static_cast<float>(data.year);
            block[2] = static_cast<float>(data.month);
            block[3] = static_cast<float>(data.day);
            block[4] = static_cast<float>(data.hour);
            block[5] = static_cast<float>(data.stationsRead);
            block[packStations(block, 6, data.stations, analysed)] = kMissingValue;
        }
    }
    releaseStations(data.stations);
    return block;
}

}  // namespace

float* readVelmorData5(const char* path, std::string* progress) {
    return readType5(path, Flavour::IntegerLevelsAnalysed, progress);
}

float* readVelmor5Only(const char* path) { return readType5(path, Flavour::RealLevels, nullptr); }

}  // namespace vivezeru5::straightforward
