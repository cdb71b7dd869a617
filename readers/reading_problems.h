// What a reading missed, in sentences: the file's declared stations and
// level values against what the reader converted, and text left unread.
// The readers end quietly where a file stops making sense, so a truncated
// file or a corrupted station header gives a block that looks whole; these
// sentences are how a user hears of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "readers/file_format.h"
#include "readers/reading_report.h"

namespace vivezeru5 {

// Text the reading left: its line (from 1) and its first word as a message
// shows it (at most 40 characters, bytes other than printable ASCII and the
// quote and backslash as \xNN, "..." after a word that was cut), quoted.
struct UnreadText {
    std::int64_t line = 0;
    std::string word;
};

// The unread text of the file at `path` from byte `offset` on, if any is
// left there.
std::optional<UnreadText> unreadTextAt(const char* path, long offset);

// One sentence per problem, in file order, naming the station where there is
// one; empty when the file was read whole.
std::vector<std::string> readingProblems(const ReadingReport& report, FileFormat format,
                                         const std::optional<UnreadText>& unread);

}  // namespace vivezeru5
