// One reading of the companion library: the block, the report and what is
// derived from them for the C API.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "readers/reading_report.h"
#include "vivezeru5/vivezeru5_reading.h"

struct BlockRelease {
    void operator()(float* block) const { std::free(block); }
};

struct vivezeru5_reading {
    int status = VIVEZERU5_NO_MEMORY;
    int format = 0;
    int openError = 0;
    std::unique_ptr<float, BlockRelease> block;
    std::size_t length = 0;
    vivezeru5::ReadingReport report;
    std::vector<std::size_t> stationOffsets;  // where each sounding station starts in the block
    std::vector<std::string> problems;
    int end = VIVEZERU5_END_COMPLETE;
    std::int64_t unreadLine = 0;
    std::string unreadWord;
};
