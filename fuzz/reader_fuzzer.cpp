// libFuzzer target for one reader, chosen at compile time by
// VIVEZERU5_FUZZ_READER (the index of a vivezeru5::model::Reader).
//
// Each input is written to a file of this process (an anonymous memory file
// reached through /proc/self/fd, or a temporary file named after the process),
// the reader is called on its path, and the block is compared float by float
// with what the C library's formatted input makes of the same file: element 0,
// element 5, every station value, the terminator and the missing-value fill.
// Reading every float of the block lets AddressSanitizer see all of it.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "reader_model.h"

#ifndef VIVEZERU5_FUZZ_READER
#error "VIVEZERU5_FUZZ_READER selects the reader"
#endif

namespace {

using vivezeru5::model::Reader;

constexpr Reader kReader = static_cast<Reader>(VIVEZERU5_FUZZ_READER);

int inputDescriptor = -1;
std::string inputPath;

void removeTemporaryFile() { ::unlink(inputPath.c_str()); }

void openInputFile() {
    inputDescriptor = ::memfd_create("vivezeru5-fuzz-input", 0);
    if (inputDescriptor >= 0) {
        inputPath = "/proc/self/fd/" + std::to_string(inputDescriptor);
        if (::access(inputPath.c_str(), R_OK) == 0) {
            return;
        }
        ::close(inputDescriptor);
    }
    inputPath = "/tmp/vivezeru5-fuzz-" + std::to_string(::getpid()) + ".txt";
    inputDescriptor = ::open(inputPath.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (inputDescriptor < 0) {
        std::perror(inputPath.c_str());
        std::abort();
    }
    std::atexit(removeTemporaryFile);
}

void writeInput(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(inputDescriptor, 0) != 0) {
        std::abort();
    }
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::pwrite(inputDescriptor, data + written, size - written, static_cast<off_t>(written));
        if (n <= 0) {
            std::abort();
        }
        written += static_cast<std::size_t>(n);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The analysing readers print progress lines on standard output.
    const int sink = ::open("/dev/null", O_WRONLY);
    if (sink >= 0) {
        ::dup2(sink, 1);
        ::close(sink);
    }
    openInputFile();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeInput(data, size);
    float* block = vivezeru5::model::callReader(kReader, inputPath.c_str(), false);
    const vivezeru5::model::ExpectedBlock expected = vivezeru5::model::expectBlock(kReader, inputPath.c_str());
    const std::string problem = vivezeru5::model::checkBlock(kReader, block, expected);
    std::free(block);
    if (!problem.empty()) {
        std::fprintf(stderr, "block check failed: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
