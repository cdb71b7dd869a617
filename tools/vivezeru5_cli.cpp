// vivezeru5 — command-line tool for Velmor station data files.
//
//   vivezeru5 show  [options] FILE            readable table, or --csv / --json
//   vivezeru5 dump  [options] FILE            the raw block, one float a line
//   vivezeru5 batch [options] FILE|DIR...     one table of the stations of many files
//
// It uses only the library's public interface.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "batch.h"
#include "file_formats.h"
#include "file_reading.h"
#include "skewt_command.h"
#include "station_choice.h"
#include "station_rows.h"
#include "text_report.h"

#ifndef VIVEZERU5_VERSION
#define VIVEZERU5_VERSION "unknown"
#endif

namespace vivezeru5::cli {
namespace {


constexpr const char* kUsage =
    "usage: vivezeru5 show [--format FORMAT] [--csv|--json] [--station ID] [--sounding N] [--verbose] FILE\n"
    "       vivezeru5 dump [--format FORMAT] [--verbose] FILE\n"
    "       vivezeru5 batch [--format FORMAT] [--csv|--json] [-j N] [-o OUT] [--include GLOB] [--exclude GLOB]\n"
    "                       [--verbose] FILE|DIR...\n"
    "       vivezeru5 skewt [--format FORMAT] FILE [--station ID] [-o OUT.svg]\n"
    "       vivezeru5 --help | --version\n";

constexpr const char* kHelp =
    "Reads Velmor station data files with the vivezeru5 library.\n"
    "\n"
    "commands:\n"
    "  show FILE   the observation time, then per station its id, position,\n"
    "              elevation and level table, and the derived values of the\n"
    "              analysed formats; with --csv or --json one row per station\n"
    "  dump FILE   the block the reader returns, one float a line (%.9g)\n"
    "  batch FILE|DIR...\n"
    "              one row per station of every file given and of every file\n"
    "              under the directories given (CSV unless --json), in the\n"
    "              order given; files that cannot be read are reported and\n"
    "              skipped; a summary line on standard error at the end\n"
    "  skewt FILE  a skew-T log-p diagram of one station, as SVG\n"
    "              (vivezeru5 skewt --help)\n"
    "\n"
    "options:\n"
    "  -f, --format FORMAT  reader to use instead of recognising the file:\n"
    "                         type5        type-5 soundings, integer levels (readVelmorData5)\n"
    "                         type5-plain  type-5 soundings, decimal levels (readVelmor5Only)\n"
    "                         rozedu       characteristic-level soundings (readRozeduData)\n"
    "                         surface      type-1 surface reports (ReadVelmorData1)\n"
    "  --csv                station rows as CSV: values as the block holds them,\n"
    "                       a flag column beside each derived value\n"
    "  --json               station rows as JSON: missing values and derived values\n"
    "                       that mean nothing null, with the raw value and flag\n"
    "  --station ID         show: only the station of this id\n"
    "  --sounding N         show: only the sounding at place N of the file (from\n"
    "                       0), for an id that occurs more than once\n"
    "  -j, --jobs N         batch: read N files at a time (default: the cores)\n"
    "  -o, --output OUT     batch: write the rows to OUT instead of standard output\n"
    "  --include GLOB       batch: in a directory, read only the files whose name\n"
    "                       (or path below the directory) matches GLOB; repeatable\n"
    "  --exclude GLOB       batch: in a directory, pass over the files that match\n"
    "                       GLOB; repeatable\n"
    "  -v, --verbose        pass the analysing readers' progress lines on, to\n"
    "                       standard error (without it they are discarded)\n"
    "  -q, --quiet          discard the progress lines (the default)\n"
    "  -h, --help           this help\n"
    "  --version            the version\n"
    "\n"
    "Without --format, a file whose first token is an integer is read as\n"
    "characteristic-level soundings; a word followed by data type 5 as type-5\n"
    "soundings (type5-plain when a level value of the first station with levels\n"
    "has decimals); a word followed by data type 1 as surface reports.\n"
    "\n"
    "Units: pressure hPa, height dam, temperature and dew point degrees Celsius,\n"
    "wind direction degrees (from), speed m/s; elevation as in the file (m).\n"
    "In show, -- marks the missing value -9999 (and a height of 9999), and * a\n"
    "derived value that carries a quality flag (missing_level, nan, not_reached:\n"
    "the value means nothing; no_lfc, el_not_found, parcel_disagrees: a value\n"
    "with a caveat), explained under the station. A year written with two\n"
    "digits is shown by the POSIX %y rule: 69 to 99 are 1969 to 1999, 00 to 68\n"
    "are 2000 to 2068.\n"
    "\n"
    "In batch, a file found in a directory that holds no station data (empty,\n"
    "binary, another kind of file) is skipped and counted; a .gz file is read\n"
    "as the file it holds.\n"
    "\n"
    "Each difference between what a file declares and what was read (stations,\n"
    "level values, text after the last station) is reported on standard error.\n"
    "\n"
    "exit status: 0 read whole, 3 read with problems, 1 the file cannot be read,\n"
    "2 usage error\n";

enum class Command { Show, Dump, Batch };

struct Options {
    Command command = Command::Show;
    std::optional<FileFormat> format;
    std::optional<TableFormat> table;
    bool verbose = false;
    unsigned jobs = 0;
    std::optional<std::string> output;
    std::vector<std::string> files;
    StationChoice choice;
    std::vector<std::string> include;
    std::vector<std::string> exclude;
};

ProgressLines progressLinesOf(const Options& options) {
    return options.verbose ? ProgressLines::ToStandardError : ProgressLines::Discarded;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "vivezeru5: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

std::optional<unsigned> jobCount(std::string_view text) {
    unsigned value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 10000) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (text.empty() || value == 0 || value > 1024) {
        return std::nullopt;
    }
    return value;
}

// The value of an option given as "--name=value", "--name value" or "-n value".
std::optional<std::string_view> optionValue(int argc, char** argv, int& i, std::string_view longName) {
    const std::string_view argument = argv[i];
    const std::string prefix = std::string(longName) + "=";
    if (argument.starts_with(prefix)) {
        return argument.substr(prefix.size());
    }
    if (i + 1 < argc) {
        return std::string_view(argv[++i]);
    }
    return std::nullopt;
}

bool isOption(std::string_view argument, std::string_view shortName, std::string_view longName) {
    return argument == shortName || argument == longName || argument.starts_with(std::string(longName) + "=");
}

// Parses the arguments after the command; returns an exit status on error.
std::optional<int> parseOptions(int argc, char** argv, Options& options) {
    bool onlyFiles = false;
    const bool batch = options.command == Command::Batch;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (onlyFiles || argument.empty() || argument[0] != '-' || argument == "-") {
            options.files.emplace_back(argument);
        } else if (argument == "--") {
            onlyFiles = true;
        } else if (argument == "-q" || argument == "--quiet") {
            options.verbose = false;
        } else if (argument == "-v" || argument == "--verbose") {
            options.verbose = true;
        } else if (options.command != Command::Dump && (argument == "--csv" || argument == "--json")) {
            const TableFormat table = argument == "--csv" ? TableFormat::Csv : TableFormat::Json;
            if (options.table && *options.table != table) {
                return usageError("--csv and --json exclude each other");
            }
            options.table = table;
        } else if (isOption(argument, "-f", "--format")) {
            const auto name = optionValue(argc, argv, i, "--format");
            if (!name) {
                return usageError(std::string(argument) + " needs a format: " + formatNames());
            }
            options.format = formatNamed(*name);
            if (!options.format) {
                return usageError("unknown format '" + std::string(*name) + "' (formats: " + formatNames() + ")");
            }
        } else if (options.command == Command::Show && isOption(argument, "", "--station")) {
            const auto value = optionValue(argc, argv, i, "--station");
            options.choice.id = value ? stationIdNamed(*value) : std::nullopt;
            if (!options.choice.id) {
                return usageError(std::string(argument) + " needs a station id");
            }
        } else if (options.command == Command::Show && isOption(argument, "", "--sounding")) {
            const auto value = optionValue(argc, argv, i, "--sounding");
            options.choice.sounding = value ? soundingNumbered(*value) : std::nullopt;
            if (!options.choice.sounding) {
                return usageError(std::string(argument) + " needs the place of a sounding in the file, from 0");
            }
        } else if (batch && isOption(argument, "-j", "--jobs")) {
            const auto value = optionValue(argc, argv, i, "--jobs");
            const auto jobs = value ? jobCount(*value) : std::nullopt;
            if (!jobs) {
                return usageError(std::string(argument) + " needs a number of files at a time, 1 to 1024");
            }
            options.jobs = *jobs;
        } else if (batch && (isOption(argument, "", "--include") || isOption(argument, "", "--exclude"))) {
            const bool include = isOption(argument, "", "--include");
            const auto value = optionValue(argc, argv, i, include ? "--include" : "--exclude");
            if (!value || value->empty()) {
                return usageError(std::string(argument) + " needs a pattern");
            }
            (include ? options.include : options.exclude).emplace_back(*value);
        } else if (batch && isOption(argument, "-o", "--output")) {
            const auto value = optionValue(argc, argv, i, "--output");
            if (!value || value->empty()) {
                return usageError(std::string(argument) + " needs a file name");
            }
            options.output = std::string(*value);
        } else {
            return usageError("unknown option '" + std::string(argument) + "'");
        }
    }
    if (options.files.empty()) {
        return usageError(batch ? "no file or directory given" : "no file given");
    }
    if (!batch && options.files.size() != 1) {
        return usageError("one file at a time (batch reads many)");
    }
    return std::nullopt;
}

void reportProblems(const FileReading& reading) {
    for (const std::string& problem : reading.problems) {
        std::fprintf(stderr, "vivezeru5: %s: %s\n", reading.path.c_str(), problem.c_str());
    }
}

void printTable(std::FILE* out, const FileReading& reading, TableFormat table) {
    if (table == TableFormat::Json) {
        std::fputs(jsonDocument(reading).c_str(), out);
        return;
    }
    const RowColumns columns = columnsOf(reading.format);
    std::fputs(csvHeader(columns).c_str(), out);
    std::fputs(csvRows(reading, columns).c_str(), out);
}

int runOneFile(const Options& options, std::FILE* out) {
    FileReading reading = readFile(options.files.front(), options.format, progressLinesOf(options));
    if (reading.block && options.choice.any()) {
        if (const auto message = keepChosenStation(reading, options.choice)) {
            std::fprintf(stderr, "vivezeru5: %s: %s\n", reading.path.c_str(), message->c_str());
            return kExitNoData;
        }
    }
    if (reading.block) {
        if (options.command == Command::Dump) {
            printBlock(out, reading);
        } else if (options.table) {
            printTable(out, reading, *options.table);
        } else {
            printTextReport(out, reading);
        }
        std::fflush(out);
    }
    if (!reading.failure.empty()) {
        std::fprintf(stderr, "vivezeru5: %s: %s\n", reading.path.c_str(), reading.failure.c_str());
    }
    reportProblems(reading);
    return exitStatusOf(reading.outcome());
}

int runBatchCommand(const Options& options, std::FILE* out) {
    BatchRequest request;
    request.inputs = options.files;
    request.format = options.format;
    request.table = options.table.value_or(TableFormat::Csv);
    request.jobs = options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    request.outputPath = options.output;
    request.progress = progressLinesOf(options);
    request.include = options.include;
    request.exclude = options.exclude;
    if (!options.output) {
        return runBatch(request, out);
    }
    std::FILE* file = std::fopen(options.output->c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "vivezeru5: %s: cannot write: %s\n", options.output->c_str(), std::strerror(errno));
        return kExitNoData;
    }
    const int status = runBatch(request, file);
    if (std::fclose(file) != 0) {
        std::fprintf(stderr, "vivezeru5: %s: cannot write: %s\n", options.output->c_str(), std::strerror(errno));
        return kExitNoData;
    }
    return status;
}

int run(const Options& options) {
    if (options.command == Command::Batch) {
        return runBatchCommand(options, stdout);
    }
    return runOneFile(options, stdout);
}

std::optional<Command> commandNamed(std::string_view name) {
    if (name == "show") {
        return Command::Show;
    }
    if (name == "dump") {
        return Command::Dump;
    }
    if (name == "batch") {
        return Command::Batch;
    }
    return std::nullopt;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        return usageError("no command given");
    }
    const std::string_view command = argv[1];
    if (command == "-h" || command == "--help" || command == "help") {
        std::printf("%s\n%s", kUsage, kHelp);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("vivezeru5 %s\n", VIVEZERU5_VERSION);
        return kExitOk;
    }
    if (command == "skewt") {
        return skewt::runSkewTCommand(argc - 2, argv + 2);
    }
    Options options;
    const auto named = commandNamed(command);
    if (!named) {
        return usageError("unknown command '" + std::string(command) + "'");
    }
    options.command = *named;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::printf("%s\n%s", kUsage, kHelp);
            return kExitOk;
        }
    }
    if (const auto status = parseOptions(argc, argv, options)) {
        return *status;
    }
    return run(options);
}

}  // namespace
}  // namespace vivezeru5::cli

int main(int argc, char** argv) { return vivezeru5::cli::main(argc, argv); }
