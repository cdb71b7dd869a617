#include "readers/reading_problems.h"

#include <cstdio>

#include "readers/data_file.h"
#include "readers/sounding_records.h"

namespace vivezeru5 {
namespace {

constexpr std::size_t kShownCharacters = 40;

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The word as a message shows it.
std::string quoted(const std::string& word) {
    std::string text(1, '"');
    for (std::size_t i = 0; i < word.size() && i < kShownCharacters; ++i) {
        const auto byte = static_cast<unsigned char>(word[i]);
        if (byte >= 0x20 && byte < 0x7f && byte != '"' && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            static constexpr char kHex[] = "0123456789abcdef";
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xf];
        }
    }
    if (word.size() > kShownCharacters) {
        text += "...";
    }
    return text + '"';
}

std::string stationName(std::int32_t id) { return "station " + std::to_string(id) + ": "; }

void addStationProblems(const ReadingReport& report, FileFormat format, std::vector<std::string>& problems) {
    for (const StationValues& station : report.stations) {
        const std::string name = stationName(station.stationId);
        if (format == FileFormat::Rozedu) {
            if (station.converted < station.expected) {
                problems.push_back(name + std::to_string(station.declared / 7) + " levels declared (" +
                                   std::to_string(station.expected) + " values), " +
                                   std::to_string(station.converted) + " converted");
            }
            continue;
        }
        if (station.declared % kValuesPerLevel != 0) {
            problems.push_back(name + "value count " + std::to_string(station.declared) + " is not a multiple of 6");
        }
        if (station.converted < station.expected) {
            problems.push_back(name + std::to_string(station.expected) + " level values declared, " +
                               std::to_string(station.converted) + " converted");
        }
    }
}

void addRefusedCount(const ReadingReport& report, FileFormat format, std::vector<std::string>& problems) {
    if (!report.refusedCount) {
        return;
    }
    const std::string count = std::to_string(report.refusedCount->count);
    const bool levels = format == FileFormat::Rozedu;
    const std::string what = levels ? "level count " : "value count ";
    problems.push_back(stationName(report.refusedCount->stationId) +
                       (report.refusedCount->count < 0
                            ? "negative " + what + count
                            : what + count + " claims more than " + std::to_string(kMaxStationLevels) + " levels"));
}

}  // namespace

std::optional<UnreadText> unreadTextAt(const char* path, long offset) {
    if (offset < 0) {
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    UnreadText unread;
    unread.line = 1;
    long position = 0;
    int c = 0;
    // Lines up to the offset, then the blanks after it.
    while ((c = std::fgetc(file)) != EOF && (position < offset || isBlank(c))) {
        ++position;
        if (c == '\n') {
            ++unread.line;
        }
    }
    while (c != EOF && !isBlank(c) && unread.word.size() <= kShownCharacters) {
        unread.word += static_cast<char>(c);
        c = std::fgetc(file);
    }
    std::fclose(file);
    if (unread.word.empty()) {
        return std::nullopt;
    }
    unread.word = quoted(unread.word);
    return unread;
}

std::vector<std::string> readingProblems(const ReadingReport& report, FileFormat format,
                                         const std::optional<UnreadText>& unread) {
    std::vector<std::string> problems;
    addStationProblems(report, format, problems);
    addRefusedCount(report, format, problems);
    if (report.stationsDeclared >= 0 && report.stationsDeclared != report.stationsRead) {
        problems.push_back("declares " + std::to_string(report.stationsDeclared) + " stations, " +
                           std::to_string(report.stationsRead) + " read");
    }
    if (unread) {
        std::string problem = "unread text";
        if (!report.stations.empty() && format != FileFormat::Surface) {
            problem += " after station " + std::to_string(report.stations.back().stationId);
        }
        problems.push_back(problem + ", from line " + std::to_string(unread->line) + ": " + unread->word);
    }
    return problems;
}

}  // namespace vivezeru5
