#include "readers/reading_report.h"

#include "readers/token_scanner.h"

namespace vivezeru5 {

void noteEarlyStop(ReadingReport* report, long stationStart) {
    if (report != nullptr) {
        report->stoppedEarly = true;
        report->stopOffset = stationStart;
    }
}

StationOutcomes* noteStation(ReadingReport* report, std::int32_t stationId, std::int64_t declared,
                             std::int64_t expected, std::int64_t converted, bool analysedFormat) {
    if (report == nullptr) {
        return nullptr;
    }
    report->stations.push_back(StationValues{stationId, declared, expected, converted});
    if (!analysedFormat) {
        return nullptr;
    }
    StationOutcomes outcomes;
    outcomes.fill(DerivedOutcome::NotReached);
    report->outcomes.push_back(outcomes);
    return &report->outcomes.back();
}

void noteEnd(ReadingReport* report, const TokenScanner& scanner, std::int64_t declared, std::int64_t stationsRead) {
    if (report == nullptr) {
        return;
    }
    report->stationsDeclared = declared;
    report->stationsRead = stationsRead;
    report->endedOnLongToken = scanner.endedOnLongToken();
    if (report->stopOffset < 0) {
        report->stopOffset = scanner.position();
    }
}

}  // namespace vivezeru5
