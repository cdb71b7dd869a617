// Type-1 surface station files (ReadVelmorData1):
//   tag dataType description year month day hour stationCount
//   24 values per station, then values 25 and 26 when value 23 is 1 and value 24 is 2.
// The block has a five-value header and a fixed stride of 26 floats a station.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "readers/canonical_nan.h"
#include "readers/data_file.h"
#include "readers/export_boundary.h"
#include "readers/reader_calls.h"
#include "readers/sounding_records.h"
#include "readers/token_scanner.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

constexpr int kSurfaceHeader = 5;
constexpr int kSurfaceStride = 26;
constexpr int kRequiredValues = 24;
constexpr int kOptionalValues = 2;

// Tag, data type and description are read and not examined.
bool readSurfaceHeader(TokenScanner& scanner, std::int32_t (&date)[5]) {
    std::string word;
    std::size_t length = 0;
    std::int32_t dataType = 0;
    return scanner.readWord(word, 0, length) && scanner.readInt(dataType) &&
           scanner.readWord(word, 0, length) && readInts(scanner, date, 5) == 5;
}

bool carriesOptionalPair(const float* station) {
    return station[22] == 1.0f && station[23] == 2.0f;
}

// The surface block under construction, released unless handed to the caller.
struct FreeBlock {
    void operator()(float* block) const { std::free(block); }
};
using OwnedBlock = std::unique_ptr<float, FreeBlock>;

float* readSurfaceFile(const char* path, ReadingReport* report) {
    DataFile file(path);
    if (!file.isOpen()) {
        return nullptr;
    }
    TokenScanner scanner(file.handle());
    std::int32_t date[5];
    if (!scanner.isReady() || !readSurfaceHeader(scanner, date)) {
        return nullptr;
    }
    if (report != nullptr) {
        report->yearAsWritten = date[0];
    }
    const std::int64_t declared = date[4];
    if (declared < 0 || declared > kMaxDeclaredStations) {
        return nullptr;
    }
    const std::int64_t blockSize = kSurfaceHeader + kSurfaceStride * declared;
    OwnedBlock block(static_cast<float*>(std::malloc(static_cast<std::size_t>(blockSize) * sizeof(float))));
    if (!block) {
        return nullptr;
    }
    float* const values = block.get();
    std::fill(values, values + blockSize, kMissingValue);
    for (int i = 0; i < 5; ++i) {
        values[i] = static_cast<float>(date[i]);
    }
    std::int64_t stationsRead = declared;
    for (std::int64_t k = 0; k < declared; ++k) {
        float* station = values + kSurfaceHeader + kSurfaceStride * k;
        const long stationStart = report != nullptr ? scanner.position() : -1;
        const int converted = readFloats(scanner, station, kRequiredValues);
        if (converted < kRequiredValues) {
            if (k == 0) {
                return nullptr;
            }
            std::fill(station, station + converted, kMissingValue);
            values[4] = static_cast<float>(k);
            stationsRead = k;
            noteEarlyStop(report, stationStart);
            break;
        }
        if (carriesOptionalPair(station)) {
            readFloats(scanner, station + kRequiredValues, kOptionalValues);
        }
    }
    noteEnd(report, scanner, declared, stationsRead);
    if (report != nullptr) {
        report->blockFloats = blockSize;
    }
    canonicaliseNans(values, values + blockSize);
    return block.release();
}

}  // namespace

float* readSurfaceReports(const char* path, const ReadingContext& context) {
    return readSurfaceFile(path, context.report);
}

}  // namespace vivezeru5

extern "C" VIVEZERU5_API float* VIVEZERU5_CALL ReadVelmorData1(const char* path) {
    using namespace vivezeru5;
    return readWithinBoundary([path] { return readSurfaceReports(path, exportedReaderContext()); });
}
