// The companion library's C API: thin calls into the core, each inside the
// boundary that keeps exceptions and the caller's floating-point settings
// out of the method.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "analysis/parcel_path.h"
#include "readers/file_format.h"
#include "readers/format_recognition.h"
#include "readers/method_floating_point.h"
#include "readers/reader_calls.h"
#include "readers/reading_problems.h"
#include "reading/reading_record.h"
#include "records/outcome_texts.h"
#include "vivezeru5/vivezeru5_reading.h"

namespace vivezeru5 {
namespace {

constexpr int kSoundingHeader = 6;
constexpr int kStationHeader = 5;

// Runs `compute` in the method's floating-point environment; `fallback` if
// it throws.
template <typename Compute, typename Value>
Value withinBoundary(Compute compute, Value fallback) noexcept {
    const MethodFloatingPointScope environment;
    try {
        return compute();
    } catch (...) {
        return fallback;
    }
}

float* callReader(FileFormat format, const char* path, const ReadingContext& context) {
    switch (format) {
        case FileFormat::Type5:
            return readType5Analysed(path, context);
        case FileFormat::Type5Plain:
            return readType5Plain(path, context);
        case FileFormat::Rozedu:
            return readCharacteristicLevels(path, context);
        case FileFormat::Surface:
            return readSurfaceReports(path, context);
    }
    return nullptr;
}

// Where each sounding station starts, walking the block by its counts.
std::vector<std::size_t> stationOffsets(const float* block, std::size_t length, bool analysed) {
    std::vector<std::size_t> offsets;
    if (length < kSoundingHeader) {
        return offsets;
    }
    const double stations = block[5];
    std::size_t position = kSoundingHeader;
    for (double k = 0; k < stations && position + kStationHeader <= length; ++k) {
        const double levels = block[position + 4];
        const double size = kStationHeader + kValuesPerLevel * levels + (analysed ? kDerivedValues : 0);
        if (!(levels >= 0) || position + size > length) {
            break;
        }
        offsets.push_back(position);
        position += static_cast<std::size_t>(size);
    }
    return offsets;
}

int readingEnd(const ReadingReport& report, bool unreadText) {
    if (report.endedOnLongToken) {
        return VIVEZERU5_END_LONG_TOKEN;
    }
    if (report.refusedCount) {
        return VIVEZERU5_END_LIMIT;
    }
    if (unreadText) {
        return VIVEZERU5_END_NOT_CONVERTED;
    }
    if (report.stationsDeclared >= 0 && report.stationsRead < report.stationsDeclared) {
        return VIVEZERU5_END_OF_INPUT;
    }
    return VIVEZERU5_END_COMPLETE;
}

// The format to read `path` as: the one given, or the one recognised.
bool chooseFormat(vivezeru5_reading& reading, const char* path, int format) {
    if (format != 0) {
        if (formatTraits(format) == nullptr) {
            reading.status = VIVEZERU5_UNRECOGNISED;
            return false;
        }
        reading.format = format;
        return true;
    }
    const Recognition recognition = recogniseFile(path);
    if (!recognition.opened) {
        reading.status = VIVEZERU5_CANNOT_OPEN;
        reading.openError = recognition.openError;
        return false;
    }
    if (!recognition.format) {
        reading.status = VIVEZERU5_UNRECOGNISED;
        return false;
    }
    reading.format = static_cast<int>(*recognition.format);
    return true;
}

// A reader that returned no block: the file could not be opened, or was rejected.
void noteNoBlock(vivezeru5_reading& reading, const char* path) {
    errno = 0;
    std::FILE* file = path == nullptr ? nullptr : std::fopen(path, "r");
    if (file == nullptr) {
        reading.status = VIVEZERU5_CANNOT_OPEN;
        reading.openError = errno;
        return;
    }
    std::fclose(file);
    reading.status = VIVEZERU5_REJECTED;
}

void read(vivezeru5_reading& reading, const char* path, int format, const ProgressSink& progress) {
    if (!chooseFormat(reading, path, format)) {
        return;
    }
    const auto fileFormat = static_cast<FileFormat>(reading.format);
    const ReadingContext context{progress, nullptr, &reading.report};
    reading.block.reset(callReader(fileFormat, path, context));
    if (!reading.block) {
        noteNoBlock(reading, path);
        return;
    }
    reading.status = VIVEZERU5_READ;
    reading.length = static_cast<std::size_t>(reading.report.blockFloats);
    if (fileFormat != FileFormat::Surface) {
        reading.stationOffsets =
            stationOffsets(reading.block.get(), reading.length, formatTraits(reading.format)->analysed);
    }
    const std::optional<UnreadText> unread = unreadTextAt(path, reading.report.stopOffset);
    if (unread) {
        reading.unreadLine = unread->line;
        reading.unreadWord = unread->word;
    }
    reading.end = readingEnd(reading.report, unread.has_value());
    reading.problems = readingProblems(reading.report, fileFormat, unread);
}

const float* stationAt(const vivezeru5_reading* reading, std::size_t station) {
    if (reading == nullptr || station >= reading->stationOffsets.size()) {
        return nullptr;
    }
    return reading->block.get() + reading->stationOffsets[station];
}

}  // namespace
}  // namespace vivezeru5

using namespace vivezeru5;

extern "C" {

const char* vivezeru5_format_name(int format) {
    const FormatTraits* traits = formatTraits(format);
    return traits != nullptr ? traits->name : nullptr;
}

const char* vivezeru5_format_reader(int format) {
    const FormatTraits* traits = formatTraits(format);
    return traits != nullptr ? traits->readerName : nullptr;
}

int vivezeru5_format_named(const char* name) {
    if (name == nullptr) {
        return 0;
    }
    const std::optional<FileFormat> format = formatNamed(name);
    return format ? static_cast<int>(*format) : 0;
}

int vivezeru5_format_analysed(int format) {
    const FormatTraits* traits = formatTraits(format);
    return traits != nullptr && traits->analysed ? 1 : 0;
}

int vivezeru5_recognise(const char* path, int* format, int* open_error) {
    return withinBoundary(
        [&] {
            const Recognition recognition = recogniseFile(path);
            if (open_error != nullptr) {
                *open_error = recognition.openError;
            }
            if (format != nullptr) {
                *format = recognition.format ? static_cast<int>(*recognition.format) : 0;
            }
            if (!recognition.opened) {
                return static_cast<int>(VIVEZERU5_CANNOT_OPEN);
            }
            return static_cast<int>(recognition.format ? VIVEZERU5_READ : VIVEZERU5_UNRECOGNISED);
        },
        static_cast<int>(VIVEZERU5_NO_MEMORY));
}

vivezeru5_reading* vivezeru5_read_with_progress(const char* path, int format, vivezeru5_progress_sink sink,
                                                void* context) {
    return withinBoundary(
        [&]() -> vivezeru5_reading* {
            auto* reading = new vivezeru5_reading;
            try {
                read(*reading, path, format, ProgressSink{sink, context});
            } catch (...) {
                *reading = vivezeru5_reading{};  // memory ran out part of the way
            }
            return reading;
        },
        static_cast<vivezeru5_reading*>(nullptr));
}

vivezeru5_reading* vivezeru5_read(const char* path, int format, unsigned flags) {
    const ProgressSink sink = (flags & VIVEZERU5_PROGRESS_TO_STDOUT) != 0 ? standardOutputSink() : ProgressSink{};
    return vivezeru5_read_with_progress(path, format, sink.write, sink.context);
}

void vivezeru5_reading_free(vivezeru5_reading* reading) { delete reading; }

int vivezeru5_reading_status(const vivezeru5_reading* reading) {
    return reading != nullptr ? reading->status : VIVEZERU5_NO_MEMORY;
}

int vivezeru5_reading_open_error(const vivezeru5_reading* reading) {
    return reading != nullptr ? reading->openError : 0;
}

int vivezeru5_reading_format(const vivezeru5_reading* reading) { return reading != nullptr ? reading->format : 0; }

const float* vivezeru5_reading_block(const vivezeru5_reading* reading, size_t* length) {
    const float* block = reading != nullptr ? reading->block.get() : nullptr;
    if (length != nullptr) {
        *length = block != nullptr ? reading->length : 0;
    }
    return block;
}

float* vivezeru5_reading_take_block(vivezeru5_reading* reading) {
    if (reading == nullptr) {
        return nullptr;
    }
    reading->stationOffsets.clear();
    reading->length = 0;
    return reading->block.release();
}

void vivezeru5_free_block(float* block) { std::free(block); }

int64_t vivezeru5_reading_stations_declared(const vivezeru5_reading* reading) {
    return reading != nullptr && reading->status == VIVEZERU5_READ ? reading->report.stationsDeclared : -1;
}

int64_t vivezeru5_reading_stations_read(const vivezeru5_reading* reading) {
    return reading != nullptr && reading->status == VIVEZERU5_READ ? reading->report.stationsRead : 0;
}

int vivezeru5_reading_year_as_written(const vivezeru5_reading* reading, int* year) {
    if (reading == nullptr || reading->status != VIVEZERU5_READ || !reading->report.yearAsWritten) {
        return 0;
    }
    if (year != nullptr) {
        *year = *reading->report.yearAsWritten;
    }
    return 1;
}

int vivezeru5_reading_end(const vivezeru5_reading* reading, int64_t* line, const char** unread) {
    static const char kNothing[] = "";
    const bool known = reading != nullptr;
    if (line != nullptr) {
        *line = known ? reading->unreadLine : 0;
    }
    if (unread != nullptr) {
        *unread = known ? reading->unreadWord.c_str() : kNothing;
    }
    return known ? reading->end : VIVEZERU5_END_COMPLETE;
}

size_t vivezeru5_reading_station_count(const vivezeru5_reading* reading) {
    return reading != nullptr ? reading->report.stations.size() : 0;
}

int vivezeru5_reading_station_values(const vivezeru5_reading* reading, size_t station, int64_t* declared,
                                     int64_t* converted) {
    if (reading == nullptr || station >= reading->report.stations.size()) {
        return 0;
    }
    const StationValues& values = reading->report.stations[station];
    if (declared != nullptr) {
        *declared = values.declared;
    }
    if (converted != nullptr) {
        *converted = values.converted;
    }
    return values.stationId;
}

size_t vivezeru5_reading_problem_count(const vivezeru5_reading* reading) {
    return reading != nullptr ? reading->problems.size() : 0;
}

const char* vivezeru5_reading_problem(const vivezeru5_reading* reading, size_t index) {
    if (reading == nullptr || index >= reading->problems.size()) {
        return nullptr;
    }
    return reading->problems[index].c_str();
}

int vivezeru5_reading_outcome(const vivezeru5_reading* reading, size_t station, int slot) {
    if (reading == nullptr || station >= reading->report.outcomes.size() || slot < 0 || slot >= kDerivedValues) {
        return -1;
    }
    return static_cast<int>(reading->report.outcomes[station][static_cast<std::size_t>(slot)]);
}

int vivezeru5_reading_outcomes(const vivezeru5_reading* reading, size_t station, int outcomes[VIVEZERU5_DERIVED_COUNT]) {
    if (reading == nullptr || outcomes == nullptr || station >= reading->report.outcomes.size()) {
        return 0;
    }
    for (int slot = 0; slot < kDerivedValues; ++slot) {
        outcomes[slot] = static_cast<int>(reading->report.outcomes[station][static_cast<std::size_t>(slot)]);
    }
    return 1;
}

float vivezeru5_missing_height(void) { return kMissingHeight; }

const char* vivezeru5_outcome_flag(int outcome) { return outcomeFlag(static_cast<DerivedOutcome>(outcome)); }

const char* vivezeru5_outcome_reason(int outcome) { return outcomeReason(static_cast<DerivedOutcome>(outcome)); }

int vivezeru5_outcome_meaningless(int outcome) {
    return outcomeMeaningless(static_cast<DerivedOutcome>(outcome)) ? 1 : 0;
}

double vivezeru5_reading_parcel_celsius(const vivezeru5_reading* reading, size_t station, double pressure) {
    const float* values = stationAt(reading, station);
    if (values == nullptr || !vivezeru5_format_analysed(reading->format) || values[4] < 1) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const float* surface = values + kStationHeader;
    const float* derived = surface + kValuesPerLevel * static_cast<std::size_t>(values[4]);
    return vivezeru5_lifted_parcel_celsius(surface[0], surface[2], derived[VIVEZERU5_LCL_PRESSURE],
                                           derived[VIVEZERU5_LCL_TEMPERATURE], pressure);
}

double vivezeru5_lifted_parcel_celsius(float surface_pressure, float surface_celsius, float lcl_pressure,
                                       float lcl_celsius, double pressure) {
    return withinBoundary(
        [&] {
            const LiftedParcel parcel = liftSurfaceParcel(surface_pressure, surface_celsius, lcl_pressure, lcl_celsius);
            return liftedParcelCelsius(parcel, pressure);
        },
        std::numeric_limits<double>::quiet_NaN());
}

double vivezeru5_dry_adiabat_celsius(double theta_kelvin, double pressure) {
    return withinBoundary([&] { return dryAdiabatCelsius(theta_kelvin, pressure); }, 0.0);
}

double vivezeru5_potential_temperature(double celsius, double pressure) {
    return withinBoundary([&] { return potentialTemperature288(celsius, pressure); }, 0.0);
}

double vivezeru5_saturation_celsius(double grams_per_kilogram, double pressure) {
    return withinBoundary([&] { return saturationCelsius(grams_per_kilogram, pressure); }, 0.0);
}

double vivezeru5_saturated_theta_e(double celsius, double pressure) {
    return withinBoundary(
        [&] { return static_cast<double>(parcelThetaE(static_cast<float>(celsius), static_cast<float>(pressure))); },
        0.0);
}

double vivezeru5_moist_adiabat_celsius(double theta_e, double pressure) {
    return withinBoundary(
        [&] {
            return static_cast<double>(
                moistAdiabatCelsius(static_cast<float>(theta_e), static_cast<float>(pressure)));
        },
        0.0);
}

const char* vivezeru5_version_string(void) { return VIVEZERU5_VERSION_STRING; }
int vivezeru5_version_major(void) { return VIVEZERU5_VERSION_MAJOR; }
int vivezeru5_version_minor(void) { return VIVEZERU5_VERSION_MINOR; }
int vivezeru5_version_patch(void) { return VIVEZERU5_VERSION_PATCH; }

}  // extern "C"
