// One file read as the tool reads it, through the companion library: the
// format recognised (or named), the block viewed, the problems of the
// reading, and the flag of every analysed station's derived values.
#pragma once

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "blocks.h"
#include "file_formats.h"
#include "quality_flags.h"

namespace vivezeru5::cli {

enum class ReadOutcome {
    Whole,         // read as the file declares it
    WithProblems,  // read, but the reading and the file disagree (see `problems`)
    Unreadable,    // no block, or a block that does not follow its layout (see `failure`)
};

struct BlockRelease {
    void operator()(float* block) const { vivezeru5_free_block(block); }
};

struct FileReading {
    std::string path;
    FileFormat format = FileFormat::Type5;
    std::unique_ptr<float, BlockRelease> block;
    BlockView view;
    std::vector<StationFlags> flags;    // per sounding station of an analysed format
    std::vector<std::string> problems;  // what the reading missed, one sentence each
    std::string failure;                // why the file could not be read
    bool notStationFile = false;        // no format is recognised in it (empty, binary, foreign)

    ReadOutcome outcome() const {
        if (!failure.empty()) {
            return ReadOutcome::Unreadable;
        }
        return problems.empty() ? ReadOutcome::Whole : ReadOutcome::WithProblems;
    }
};

// What becomes of the analysing readers' progress lines.
enum class ProgressLines { Discarded, ToStandardError };

// Reads `path` with the reader of `format`, or of the format recognised from
// the file when none is given. Safe to call from several threads at once.
FileReading readFile(const std::string& path, std::optional<FileFormat> format,
                     ProgressLines progress = ProgressLines::Discarded);

// The tool's exit statuses.
inline constexpr int kExitOk = 0;        // every file read whole
inline constexpr int kExitNoData = 1;    // a file cannot be read
inline constexpr int kExitUsage = 2;     // the command line is wrong
inline constexpr int kExitProblems = 3;  // read, but with problems

// Exit status of the tool for an outcome: 0 whole, 3 with problems, 1 unreadable.
int exitStatusOf(ReadOutcome outcome);

}  // namespace vivezeru5::cli
