#include "file_reading.h"

#include <cstdio>
#include <cstring>

#include "compressed_file.h"
#include "value_text.h"
#include "vivezeru5/vivezeru5_reading.h"

namespace vivezeru5::cli {
namespace {

struct ReadingRelease {
    void operator()(vivezeru5_reading* reading) const { vivezeru5_reading_free(reading); }
};
using OwnedReading = std::unique_ptr<vivezeru5_reading, ReadingRelease>;

void toStandardError(const char* line, void*) { std::fputs(line, stderr); }

std::string failureOf(const vivezeru5_reading* library, std::optional<FileFormat> named, const FormatTraits& traits) {
    const int status = vivezeru5_reading_status(library);
    if (status == VIVEZERU5_NO_MEMORY) {
        return "out of memory";
    }
    if (!named && status == VIVEZERU5_CANNOT_OPEN) {
        return std::string("cannot open: ") + std::strerror(vivezeru5_reading_open_error(library));
    }
    if (!named && status == VIVEZERU5_UNRECOGNISED) {
        return "format not recognised; name it with --format (" + formatNames() + ")";
    }
    return std::string("not readable as ") + traits.optionName + " (" + traits.readerName + " returned NULL)";
}

void flagStations(const vivezeru5_reading* library, FileReading& reading) {
    if (!traitsOf(reading.format).analysed) {
        return;
    }
    for (std::size_t station = 0; station < reading.view.soundings.size(); ++station) {
        StationFlags flags{};
        for (int slot = 0; slot < kFlaggedValueCount; ++slot) {
            flags[static_cast<std::size_t>(slot)] = vivezeru5_reading_outcome(library, station, slot);
        }
        reading.flags.push_back(flags);
    }
}

}  // namespace

FileReading readFile(const std::string& path, std::optional<FileFormat> format, ProgressLines progress) {
    FileReading reading;
    reading.path = path;
    DecompressedCopy copy;
    if (const auto failure = DecompressedCopy::decompress(path, copy)) {
        reading.failure = *failure;
        return reading;
    }
    const std::string& source = copy.path().empty() ? path : copy.path();
    const OwnedReading library(vivezeru5_read_with_progress(
        source.c_str(), format ? static_cast<int>(*format) : 0,
        progress == ProgressLines::ToStandardError ? toStandardError : nullptr, nullptr));
    if (!library) {
        reading.failure = "out of memory";
        return reading;
    }
    if (vivezeru5_reading_format(library.get()) != 0) {
        reading.format = static_cast<FileFormat>(vivezeru5_reading_format(library.get()));
    }
    const FormatTraits& traits = traitsOf(format.value_or(reading.format));
    const int status = vivezeru5_reading_status(library.get());
    reading.notStationFile = format ? vivezeru5_recognise(source.c_str(), nullptr, nullptr) == VIVEZERU5_UNRECOGNISED
                                    : status == VIVEZERU5_UNRECOGNISED;
    if (status != VIVEZERU5_READ) {
        reading.failure = failureOf(library.get(), format, traits);
        return reading;
    }
    reading.block.reset(vivezeru5_reading_take_block(library.get()));
    reading.view = viewBlock(reading.block.get(), reading.format);
    if (!reading.view.problem.empty()) {
        reading.failure = std::string("unexpected block from ") + traits.readerName + ": " + reading.view.problem;
        return reading;
    }
    flagStations(library.get(), reading);
    // A two-digit year is shown by the %y rule; the block keeps its value.
    int written = 0;
    if (vivezeru5_reading_year_as_written(library.get(), &written) != 0 && written >= 0 && written < 100) {
        reading.view.time.year = static_cast<float>(shownTwoDigitYear(written));
    }
    for (std::size_t i = 0; i < vivezeru5_reading_problem_count(library.get()); ++i) {
        reading.problems.emplace_back(vivezeru5_reading_problem(library.get(), i));
    }
    return reading;
}

int exitStatusOf(ReadOutcome outcome) {
    switch (outcome) {
        case ReadOutcome::Whole:
            return kExitOk;
        case ReadOutcome::WithProblems:
            return kExitProblems;
        case ReadOutcome::Unreadable:
            return kExitNoData;
    }
    return kExitNoData;
}

}  // namespace vivezeru5::cli
