#include "file_reading.h"

#include <cstdio>
#include <cstring>

#include "reading_check.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5::cli {
namespace {

float* callReader(FileFormat format, const char* path) {
    switch (format) {
        case FileFormat::Type5:
            return readVelmorData5(path);
        case FileFormat::Type5Plain:
            return readVelmor5Only(path);
        case FileFormat::Rozedu:
            return readRozeduData(path);
        case FileFormat::Surface:
            return ReadVelmorData1(path);
    }
    return nullptr;
}

void flagStations(FileReading& reading) {
    if (!traitsOf(reading.format).analysed) {
        return;
    }
    for (const SoundingStationView& station : reading.view.soundings) {
        reading.flags.push_back(flagStation(station.levels, station.levelCount, station.derived));
    }
}

}  // namespace

FileReading readFile(const std::string& path, std::optional<FileFormat> format) {
    FileReading reading;
    reading.path = path;
    RecognitionResult recognised = recognise(path);
    if (!format) {
        if (recognised.outcome == Recognition::CannotOpen) {
            reading.failure = std::string("cannot open: ") + std::strerror(recognised.openError);
            return reading;
        }
        if (recognised.outcome == Recognition::Unrecognised) {
            reading.failure = "format not recognised; name it with --format (" + formatNames() + ")";
            return reading;
        }
        format = recognised.format;
    }
    reading.format = *format;
    const FormatTraits& traits = traitsOf(reading.format);
    reading.block.reset(callReader(reading.format, path.c_str()));
    // The reader's progress lines leave with the reading they belong to.
    std::fflush(stdout);
    if (!reading.block) {
        reading.failure = std::string("not readable as ") + traits.optionName + " (" + traits.readerName +
                          " returned NULL)";
        return reading;
    }
    reading.view = viewBlock(reading.block.get(), reading.format);
    if (!reading.view.problem.empty()) {
        reading.failure = std::string("unexpected block from ") + traits.readerName + ": " + reading.view.problem;
        return reading;
    }
    flagStations(reading);
    if (recognised.outcome != Recognition::CannotOpen) {
        reading.problems = checkReading(recognised.text, reading.format, reading.view);
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
