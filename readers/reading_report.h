// What a reader call did, recorded as it reads when a caller asks: the
// stations declared and read, the level values each station declared and
// the reader converted, where and why the reading stopped, and the outcome
// of every derived value. The exported readers record nothing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "records/derived_outcome.h"
#include "records/progress_sink.h"

namespace vivezeru5 {

struct StationValues {
    std::int32_t stationId = 0;
    std::int64_t declared = 0;   // type-5: the value count; characteristic-level: 7 × levels
    std::int64_t expected = 0;   // the values the reader tried to convert: whole level groups
    std::int64_t converted = 0;  // the values it converted
};

// A station header that converted but declares a count the reader refuses
// (negative, or beyond the working limit); the reading ends there.
struct RefusedCount {
    std::int32_t stationId = 0;
    std::int64_t count = 0;
};

struct ReadingReport {
    std::int64_t stationsDeclared = -1;  // -1 for a format that declares none
    std::int64_t stationsRead = 0;
    std::vector<StationValues> stations;            // every station read, in file order
    std::vector<StationOutcomes> outcomes;          // per station, for an analysed format
    bool stoppedEarly = false;                      // a station did not convert before the declared count
    bool endedOnLongToken = false;                  // a word or number past the longest token ended it
    std::optional<RefusedCount> refusedCount;
    long stopOffset = -1;  // byte offset where the reading stopped; unread text, if any, starts after it
    std::int64_t blockFloats = 0;  // floats the returned block holds
    std::optional<std::int32_t> yearAsWritten;  // the date line's year before any century is added
};

// Where a reader call sends what it has to say: progress lines, the message
// for a sounding file that cannot be opened (nowhere when null), and the
// report (none when null).
struct ReadingContext {
    ProgressSink progress;
    std::FILE* messages = nullptr;
    ReadingReport* report = nullptr;
};

// The context of the exported readers: progress lines on standard output,
// the message on standard error, no report.
inline ReadingContext exportedReaderContext() { return ReadingContext{standardOutputSink(), stderr, nullptr}; }

class TokenScanner;

// The recording steps of a reader; each does nothing without a report.

// A station did not convert; the reading stops where the station began.
void noteEarlyStop(ReadingReport* report, long stationStart);

// A station was read: its id and value counts. For an analysed format its
// outcomes start as not reached; returns them for the analysis to fill (null
// without a report or for a format that is not analysed).
StationOutcomes* noteStation(ReadingReport* report, std::int32_t stationId, std::int64_t declared,
                             std::int64_t expected, std::int64_t converted, bool analysedFormat);

// The reading ended: the declared count (-1 when the format declares none),
// the stations read and where the scanner stands.
void noteEnd(ReadingReport* report, const TokenScanner& scanner, std::int64_t declared, std::int64_t stationsRead);

}  // namespace vivezeru5
