// Shared helpers of the test suite: stations built from level tables, data
// files written to a scratch directory, and float comparison that prints both
// values in hexadecimal when they differ.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "readers/sounding_records.h"

namespace vivezeru5::testing {

// A station with the given levels, in a list of its own, released with the fixture.
class OwnedStation {
public:
    explicit OwnedStation(std::initializer_list<SoundingLevel> levels);
    explicit OwnedStation(const std::vector<SoundingLevel>& levels);
    ~OwnedStation();
    OwnedStation(const OwnedStation&) = delete;
    OwnedStation& operator=(const OwnedStation&) = delete;

    SoundingStation& operator*() { return *list_.head; }
    SoundingStation* operator->() { return list_.head; }

private:
    StationList list_;
};

// A level with only pressure, height and temperature given; the rest 0.
SoundingLevel pht(float pressure, float height, float temperature);

// A data file in a scratch directory, removed with the object.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& contents);
    ScratchFile(const void* bytes, std::size_t size);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// A path that does not exist.
std::string missingPath();

// Contents of a file of the examples directory.
std::string readExample(const std::string& name);

// Block returned by a reader, released with free().
struct BlockDeleter {
    void operator()(float* block) const { std::free(block); }
};
using Block = std::unique_ptr<float, BlockDeleter>;

// Writes `contents` to a scratch file and reads it with `reader`, keeping the
// reader's progress lines off the test output.
Block readContents(float* (*reader)(const char*), const std::string& contents);

std::string hexFloat(double value);

// Exact comparison that prints both values in hexfloat on a mismatch.
::testing::AssertionResult sameFloat(float expected, float actual);

// Standard output written by `action` through the C library's stdout.
template <typename Action>
std::string captureStdout(Action action) {
    ::testing::internal::CaptureStdout();
    action();
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}

template <typename Action>
std::string captureStderr(Action action) {
    ::testing::internal::CaptureStderr();
    action();
    std::fflush(stderr);
    return ::testing::internal::GetCapturedStderr();
}

}  // namespace vivezeru5::testing
