// The type-1 surface file, read by ReadVelmorData1:
//
//   tag data-type description year month day hour station-count
//                                    "%s %d %s %d %d %d %d %d"
//   per station 24 values            "%f" × 24
//   and, when value 23 is 1 and value 24 is 2, two more   "%f %f"
//
// into a block of 5 + 26 floats a declared station.
#include <cstdio>
#include <cstdlib>

#include "straightforward/block_packing.h"
#include "straightforward/readers.h"
#include "straightforward/reading_limits.h"

namespace vivezeru5::straightforward {
namespace {

constexpr int kStride = 26;
constexpr int kValues = 24;

struct SurfaceHeader {
    int year = 0, month = 0, day = 0, hour = 0, declared = 0;
};

// The eight header values; the tag (kept to 19 characters) and the
// description (99) are not examined, and the rest of a longer word is
// passed over.
bool readHeader(std::FILE* file, SurfaceHeader& header) {
    char tag[20];
    char description[100];
    int dataType = 0;
    int converted = std::fscanf(file, "%19s", tag);
    passOverRestOfWord(file);
    if (converted != 1) {
        return false;
    }
    converted = std::fscanf(file, "%d %99s", &dataType, description);
    passOverRestOfWord(file);
    if (converted != 2) {
        return false;
    }
    return std::fscanf(file, "%d %d %d %d %d", &header.year, &header.month, &header.day, &header.hour,
                       &header.declared) == 5;
}

// Station k's 24 values straight into its entry; the number converted.
int readValues(std::FILE* file, float* v) {
    return std::fscanf(file, "%f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f", &v[0],
                       &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12], &v[13],
                       &v[14], &v[15], &v[16], &v[17], &v[18], &v[19], &v[20], &v[21], &v[22], &v[23]);
}

void normaliseNaNs(float* values, int count) {
    for (int i = 0; i < count; ++i) {
        values[i] = blockValue(values[i]);
    }
}

}  // namespace

float* ReadVelmorData1(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return nullptr;  // silently
    }
    SurfaceHeader header;
    float* block = nullptr;
    if (readHeader(file, header) && header.declared >= 0 && header.declared <= kMaxCount) {
        block = allocateBlock(5 + static_cast<long long>(kStride) * header.declared);
    }
    if (block != nullptr) {
        block[0] = static_cast<float>(header.year);  // as written: no century correction
        block[1] = static_cast<float>(header.month);
        block[2] = static_cast<float>(header.day);
        block[3] = static_cast<float>(header.hour);
        block[4] = static_cast<float>(header.declared);
        for (int k = 0; k < header.declared; ++k) {
            float* station = block + 5 + static_cast<long long>(kStride) * k;
            if (readValues(file, station) < kValues) {
                // A short station: what it converted is taken back.
                for (int i = 0; i < kValues; ++i) {
                    station[i] = kMissingValue;
                }
                if (k == 0) {
                    std::free(block);
                    block = nullptr;
                } else {
                    block[4] = static_cast<float>(k);
                }
                break;
            }
            normaliseNaNs(station, kValues);
            if (station[22] == 1.0f && station[23] == 2.0f) {
                std::fscanf(file, "%f %f", &station[24], &station[25]);
                normaliseNaNs(station + kValues, 2);
            }
        }
    }
    std::fclose(file);
    return block;
}

}  // namespace vivezeru5::straightforward
