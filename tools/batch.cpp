#include "batch.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include <fnmatch.h>

#include "file_reading.h"
#include "station_rows.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vivezeru5::cli {
namespace {

// What one file gives the table and the summary.
struct FileResult {
    std::vector<std::string> rows;      // CSV lines or JSON objects
    std::vector<std::string> messages;  // for standard error, without the program name
    ReadOutcome outcome = ReadOutcome::Whole;
    std::size_t stations = 0;
    std::size_t problems = 0;
    bool skipped = false;  // found in a directory walk, and no station file
};

struct Input {
    std::string path;
    std::string failure;  // a directory that could not be walked
    bool walked = false;  // found in a directory walk, not named
};

// Whether `pattern` matches the file's name or its path below the walked directory.
bool matchesPattern(const std::string& pattern, const std::filesystem::path& file, const std::filesystem::path& below) {
    return ::fnmatch(pattern.c_str(), file.filename().string().c_str(), 0) == 0 ||
           ::fnmatch(pattern.c_str(), below.generic_string().c_str(), 0) == 0;
}

// A walked file is read when it matches an --include pattern (or none is
// given) and no --exclude pattern.
bool isSelected(const BatchRequest& request, const std::filesystem::path& file, const std::filesystem::path& below) {
    const auto matches = [&](const std::string& pattern) { return matchesPattern(pattern, file, below); };
    const bool included = request.include.empty() || std::any_of(request.include.begin(), request.include.end(), matches);
    return included && std::none_of(request.exclude.begin(), request.exclude.end(), matches);
}

// The files named, with every regular file under a named directory in name
// order; names that start with a dot (.git, editor files) are passed over, and
// so is the file the table is being written to.
std::vector<Input> collectInputs(const BatchRequest& request) {
    const std::vector<std::string>& arguments = request.inputs;
    const std::optional<std::string>& output = request.outputPath;
    namespace fs = std::filesystem;
    const auto isOutput = [&](const fs::path& path) {
        std::error_code error;
        return output && fs::equivalent(path, *output, error);
    };
    std::vector<Input> inputs;
    for (const std::string& argument : arguments) {
        std::error_code error;
        if (!fs::is_directory(argument, error)) {
            inputs.push_back({argument, ""});
            continue;
        }
        std::vector<std::string> files;
        fs::recursive_directory_iterator walk(argument, error);
        for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
            std::error_code typeError;
            if (walk->path().filename().string().starts_with(".")) {
                walk.disable_recursion_pending();
            } else if (walk->is_regular_file(typeError) && !isOutput(walk->path()) &&
                       isSelected(request, walk->path(), walk->path().lexically_relative(argument))) {
                files.push_back(walk->path().string());
            }
        }
        std::sort(files.begin(), files.end());
        for (std::string& file : files) {
            inputs.push_back({std::move(file), "", true});
        }
        if (error) {
            inputs.push_back({argument, "cannot walk the directory: " + error.message()});
        }
    }
    return inputs;
}

FileResult readRows(const Input& input, const BatchRequest& request, RowColumns columns) {
    FileResult result;
    if (!input.failure.empty()) {
        result.outcome = ReadOutcome::Unreadable;
        result.messages.push_back(input.path + ": " + input.failure);
        return result;
    }
    const FileReading reading = readFile(input.path, request.format, request.progress);
    if (input.walked && reading.notStationFile) {
        result.skipped = true;
        return result;
    }
    result.outcome = reading.outcome();
    if (result.outcome == ReadOutcome::Unreadable) {
        result.messages.push_back(input.path + ": " + reading.failure);
        return result;
    }
    for (const std::string& problem : reading.problems) {
        result.messages.push_back(input.path + ": " + problem);
    }
    result.problems = reading.problems.size();
    result.stations = reading.view.soundings.size() + reading.view.surfaces.size();
    if (request.table == TableFormat::Csv) {
        const std::string rows = csvRows(reading, columns);
        if (!rows.empty()) {
            result.rows.push_back(rows);
        }
    } else {
        result.rows = jsonRows(reading);
    }
    return result;
}

// A file that fails in any way, even for want of memory, is one failure of
// the batch and not the end of it.
FileResult processFile(const Input& input, const BatchRequest& request, RowColumns columns) {
    try {
        return readRows(input, request, columns);
    } catch (const std::exception& error) {
        FileResult result;
        result.outcome = ReadOutcome::Unreadable;
        result.messages.push_back(input.path + ": cannot be read: " + error.what());
        return result;
    }
}

// The results of the files, handed from the reading threads to the writer in
// input order.
class OrderedResults {
public:
    explicit OrderedResults(std::size_t count) : results_(count) {}

    void put(std::size_t index, FileResult result) {
        {
            const std::lock_guard lock(mutex_);
            results_[index] = std::move(result);
        }
        ready_.notify_all();
    }

    FileResult take(std::size_t index) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return results_[index].has_value(); });
        FileResult result = std::move(*results_[index]);
        results_[index].reset();
        return result;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<std::optional<FileResult>> results_;
};

bool stderrIsTerminal() {
#if defined(_WIN32)
    return _isatty(2) != 0;
#else
    return ::isatty(2) != 0;
#endif
}

void showProgress(std::size_t done, std::size_t total) {
    constexpr std::size_t kWidth = 30;
    const std::size_t filled = total == 0 ? kWidth : done * kWidth / total;
    std::fprintf(stderr, "\r[%s%s] %zu/%zu files", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), done, total);
    std::fflush(stderr);
}

void clearProgress() {
    std::fprintf(stderr, "\r%60s\r", "");
    std::fflush(stderr);
}

std::string counted(std::size_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

struct Summary {
    std::size_t files = 0;
    std::size_t stations = 0;
    std::size_t withProblems = 0;  // files read with problems
    std::size_t failures = 0;
    std::size_t skipped = 0;
};

// Writes the table, taking each file's result as soon as it and every file
// before it are read, with its messages on standard error.
Summary writeInOrder(OrderedResults& results, std::size_t count, TableFormat table, RowColumns columns,
                     std::FILE* out) {
    const bool progress = stderrIsTerminal();
    Summary summary;
    bool firstRow = true;
    std::fputs(table == TableFormat::Csv ? csvHeader(columns).c_str() : "[", out);
    for (std::size_t index = 0; index < count; ++index) {
        const FileResult result = results.take(index);
        for (const std::string& row : result.rows) {
            if (table == TableFormat::Json) {
                std::fputs(firstRow ? "\n" : ",\n", out);
            }
            std::fputs(row.c_str(), out);
            firstRow = false;
        }
        if (progress && index > 0 && !result.messages.empty()) {
            clearProgress();
        }
        for (const std::string& message : result.messages) {
            std::fprintf(stderr, "vivezeru5: %s\n", message.c_str());
        }
        summary.files += result.skipped ? 0 : 1;
        summary.skipped += result.skipped ? 1 : 0;
        summary.stations += result.stations;
        summary.withProblems += result.problems > 0 ? 1 : 0;
        summary.failures += result.outcome == ReadOutcome::Unreadable ? 1 : 0;
        if (progress) {
            showProgress(index + 1, count);
        }
    }
    if (table == TableFormat::Json) {
        std::fputs("\n]\n", out);
    }
    std::fflush(out);
    if (progress && count > 0) {
        clearProgress();
    }
    return summary;
}

}  // namespace

int runBatch(const BatchRequest& request, std::FILE* out) {
    const std::vector<Input> inputs = collectInputs(request);
    const RowColumns columns = everyColumn();
    OrderedResults results(inputs.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t index = next++; index < inputs.size(); index = next++) {
            results.put(index, processFile(inputs[index], request, columns));
        }
    };
    const std::size_t threads = std::clamp<std::size_t>(request.jobs, 1, std::max<std::size_t>(inputs.size(), 1));
    std::vector<std::jthread> workers;
    for (std::size_t t = 0; t < threads; ++t) {
        workers.emplace_back(work);
    }
    const Summary summary = writeInOrder(results, inputs.size(), request.table, columns, out);
    std::fprintf(stderr, "vivezeru5: %s, %s, %s, %s, %zu skipped\n", counted(summary.files, "file", "files").c_str(),
                 counted(summary.stations, "station", "stations").c_str(),
                 counted(summary.withProblems, "file with problems", "files with problems").c_str(),
                 counted(summary.failures, "failure", "failures").c_str(), summary.skipped);
    if (summary.failures > 0) {
        return exitStatusOf(ReadOutcome::Unreadable);
    }
    return exitStatusOf(summary.withProblems > 0 ? ReadOutcome::WithProblems : ReadOutcome::Whole);
}

}  // namespace vivezeru5::cli
