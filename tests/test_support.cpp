#include "test_support.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <unistd.h>

namespace vivezeru5::testing {
namespace {

std::string scratchPath() {
    static std::atomic<unsigned> counter{0};
    const auto directory = std::filesystem::temp_directory_path();
    return (directory / ("vivezeru5-test-" + std::to_string(::getpid()) + "-" +
                         std::to_string(counter++) + ".txt"))
        .string();
}

}  // namespace

OwnedStation::OwnedStation(std::initializer_list<SoundingLevel> levels)
    : OwnedStation(std::vector<SoundingLevel>(levels)) {}

OwnedStation::OwnedStation(const std::vector<SoundingLevel>& levels) {
    SoundingStation* station = createStation(list_);
    allocateLevels(*station, static_cast<std::int64_t>(levels.size()));
    station->levelCount = static_cast<std::int32_t>(levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i) {
        station->levels[i] = levels[i];
    }
}

OwnedStation::~OwnedStation() = default;

SoundingLevel pht(float pressure, float height, float temperature) {
    return SoundingLevel{pressure, height, temperature, 0, 0, 0};
}

ScratchFile::ScratchFile(const std::string& contents) : ScratchFile(contents.data(), contents.size()) {}

ScratchFile::ScratchFile(const void* bytes, std::size_t size) : path_(scratchPath()) {
    std::ofstream out(path_, std::ios::binary);
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

ScratchFile::~ScratchFile() { std::remove(path_.c_str()); }

std::string missingPath() {
    return (std::filesystem::temp_directory_path() / "vivezeru5-no-such-dir" / "none.txt").string();
}

std::string readExample(const std::string& name) {
    std::ifstream in(std::string(VIVEZERU5_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Block readContents(float* (*reader)(const char*), const std::string& contents) {
    ScratchFile file(contents);
    Block block;
    captureStdout([&] { block.reset(reader(file.path())); });
    return block;
}

std::string hexFloat(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%a (%.9g)", value, value);
    return text;
}

::testing::AssertionResult sameFloat(float expected, float actual) {
    if (expected == actual || (expected != expected && actual != actual)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "expected " << hexFloat(expected) << ", got " << hexFloat(actual);
}

}  // namespace vivezeru5::testing
