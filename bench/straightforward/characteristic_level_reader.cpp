// The characteristic-level sounding file, read by readRozeduData: no header,
// a run of stations, each
//
//   unused id latitude longitude level-count           "%d %d %f %f %d"
//   level-count groups of seven: pressure unused height temperature
//   dew-point wind-direction wind-speed                 "%f %f %f %f %f %f %f"
//
// until a station line does not convert.
#include <cstdio>

#include "straightforward/analyse_station.h"
#include "straightforward/block_packing.h"
#include "straightforward/readers.h"
#include "straightforward/reading_limits.h"
#include "straightforward/records.h"

namespace vivezeru5::straightforward {
namespace {

// One level group; the second value is read and dropped. A value that does
// not convert stays missing.
void readLevel(std::FILE* file, SoundingLevel& level) {
    float unused = 0;
    std::fscanf(file, "%f %f %f %f %f %f %f", &level.pressure, &unused, &level.height, &level.temperature,
                &level.dewPoint, &level.windDirection, &level.windSpeed);
}

}  // namespace

float* readRozeduData(const char* path, std::string* progress) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        reportUnopenableFile();
        return nullptr;
    }
    long long valueCount = 6;  // the header, then 5 + 6 a level + 19 a station
    int stationCount = 0;
    StationList stations;
    bool outOfMemory = false;
    for (;;) {
        int unused = 0, id = 0, levelCount = 0;
        float latitude = 0, longitude = 0;
        // A station line that does not convert, or a level count below 0 or
        // above a million, is the end of the data.
        if (std::fscanf(file, "%d %d %f %f %d", &unused, &id, &latitude, &longitude, &levelCount) != 5 ||
            levelCount < 0 || levelCount > kMaxCount) {
            break;
        }
        valueCount += 6LL * levelCount + 24;
        SoundingStation* station = appendStation(stations, levelCount);
        if (station == nullptr) {
            outOfMemory = true;
            break;
        }
        station->stationId = id;
        station->longitude = longitude;
        station->latitude = latitude;
        station->elevation = 0;  // the format carries none
        ++stationCount;
        for (int i = 0; i < levelCount; ++i) {
            readLevel(file, station->levels[i]);
        }
        if (levelCount >= 1) {
            analyseStation(*station, progress);
        }
    }
    std::fclose(file);
    // Element 0 counts the floats before the terminator, which stands at
    // index element 0; the format has no date, so slots 1 to 4 stay missing.
    float* block = outOfMemory ? nullptr : allocateBlock(countAsStored(valueCount) + 1);
    if (block != nullptr) {
        block[0] = static_cast<float>(valueCount);
        block[5] = static_cast<float>(stationCount);
        block[packStations(block, 6, stations, true)] = kMissingValue;
    }
    releaseStations(stations);
    return block;
}

}  // namespace vivezeru5::straightforward
