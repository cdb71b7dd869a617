// `vivezeru5 batch`: many files, or whole directories, turned into one table
// of station rows, read on several threads and written in input order.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "file_formats.h"
#include "file_reading.h"

namespace vivezeru5::cli {

enum class TableFormat { Csv, Json };

struct BatchRequest {
    std::vector<std::string> inputs;  // files and directories, in the order given
    std::optional<FileFormat> format;  // the reader for every file, or recognise each
    TableFormat table = TableFormat::Csv;
    unsigned jobs = 1;
    std::optional<std::string> outputPath;  // the table's own file, never read as an input
    ProgressLines progress = ProgressLines::Discarded;
    std::vector<std::string> include;  // walked files read only when they match one (none: all)
    std::vector<std::string> exclude;  // walked files that match one are passed over
};

// Reads every file, writes the rows to `out`, one line per problem or failure
// and a summary line to standard error, and a progress bar there when it is a
// terminal. Returns the exit status: 1 when a file could not be read, else 3
// when a file was read with problems, else 0.
int runBatch(const BatchRequest& request, std::FILE* out);

}  // namespace vivezeru5::cli
