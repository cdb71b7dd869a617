// Memory in proportion to the file: no file under 1 KB makes a reader
// allocate more than 128 MB in all, and the peak a reader holds grows
// linearly with the size of the file. And memory running out at any
// allocation of a reader call gives NULL or the whole block, never a leak.
//
// The executable replaces the C library's malloc family with counting
// wrappers around glibc's own allocator (__libc_malloc and friends), so that
// every allocation of a reader call is seen: the library's malloc and
// operator new, the C library's FILE buffers. Under a sanitizer, which brings
// its own allocator, the tests skip themselves.
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "reader_model.h"
#include "test_support.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VIVEZERU5_COUNTS_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define VIVEZERU5_COUNTS_ALLOCATIONS 0
#endif
#endif
#if !defined(VIVEZERU5_COUNTS_ALLOCATIONS) && defined(__GLIBC__)
#define VIVEZERU5_COUNTS_ALLOCATIONS 1
#endif
#if !defined(VIVEZERU5_COUNTS_ALLOCATIONS)
#define VIVEZERU5_COUNTS_ALLOCATIONS 0
#endif

namespace {

// Bytes handed out since the counters were reset, bytes live now, and the
// highest number of live bytes since the reset.
std::atomic<std::int64_t> allocatedTotal{0};
std::atomic<std::int64_t> liveBytes{0};
std::atomic<std::int64_t> livePeak{0};

// When positive, the allocation this many allocations from now fails.
std::atomic<std::int64_t> allocationsBeforeFailure{0};

}  // namespace

#if VIVEZERU5_COUNTS_ALLOCATIONS
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

bool injectedFailure() {
    return allocationsBeforeFailure.load(std::memory_order_relaxed) > 0 &&
           allocationsBeforeFailure.fetch_sub(1, std::memory_order_relaxed) == 1;
}

void countAllocation(void* pointer) {
    if (pointer == nullptr) {
        return;
    }
    const auto size = static_cast<std::int64_t>(malloc_usable_size(pointer));
    allocatedTotal.fetch_add(size, std::memory_order_relaxed);
    const std::int64_t live = liveBytes.fetch_add(size, std::memory_order_relaxed) + size;
    std::int64_t peak = livePeak.load(std::memory_order_relaxed);
    while (live > peak && !livePeak.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
}

void countRelease(void* pointer) {
    if (pointer != nullptr) {
        liveBytes.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(pointer)), std::memory_order_relaxed);
    }
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) {
    if (injectedFailure()) {
        return nullptr;
    }
    void* pointer = __libc_malloc(size);
    countAllocation(pointer);
    return pointer;
}
void* calloc(std::size_t count, std::size_t size) {
    if (injectedFailure()) {
        return nullptr;
    }
    void* pointer = __libc_calloc(count, size);
    countAllocation(pointer);
    return pointer;
}
void* realloc(void* pointer, std::size_t size) {
    if (injectedFailure()) {
        return nullptr;  // the old block stays
    }
    countRelease(pointer);
    void* moved = __libc_realloc(pointer, size);
    if (moved == nullptr && size != 0) {
        countAllocation(pointer);  // the old block stays
        return nullptr;
    }
    countAllocation(moved);
    return moved;
}
void free(void* pointer) {
    countRelease(pointer);
    __libc_free(pointer);
}
void* memalign(std::size_t alignment, std::size_t size) {
    if (injectedFailure()) {
        return nullptr;
    }
    void* pointer = __libc_memalign(alignment, size);
    countAllocation(pointer);
    return pointer;
}
void* aligned_alloc(std::size_t alignment, std::size_t size) { return memalign(alignment, size); }
int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    void* pointer = memalign(alignment, size);
    if (pointer == nullptr) {
        return ENOMEM;
    }
    *result = pointer;
    return 0;
}
}
#endif

namespace vivezeru5 {
namespace {

using model::Reader;
using testing::Block;
using testing::ScratchFile;

constexpr std::int64_t kMegabyte = 1 << 20;

struct Usage {
    std::int64_t total = 0;  // every byte allocated during the call
    std::int64_t peak = 0;   // most bytes held at once, above what was live before the call
};

Usage measure(Reader reader, const char* path) {
    const std::int64_t before = liveBytes.load();
    livePeak.store(before);
    allocatedTotal.store(0);
    float* block = model::callReader(reader, path, true);
    Usage usage{allocatedTotal.load(), livePeak.load() - before};
    std::free(block);
    return usage;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

#define SKIP_WITHOUT_COUNTING()                                                          \
    if (!VIVEZERU5_COUNTS_ALLOCATIONS) {                                                  \
        GTEST_SKIP() << "allocations are not counted under a sanitizer's allocator"; \
    }

// The counting itself: a known allocation is seen whole.
TEST(Memory, CountingSeesTheAllocations) {
    SKIP_WITHOUT_COUNTING();
    allocatedTotal.store(0);
    void* pointer = std::malloc(3 * kMegabyte);
    EXPECT_GE(allocatedTotal.load(), 3 * kMegabyte);
    std::free(pointer);
    const Usage usage = measure(Reader::Surface, (std::string(VIVEZERU5_EXAMPLES_DIR) + "/surface_type1.txt").c_str());
    EXPECT_GT(usage.total, 5 + 26 * 4 * 4);  // at least the block of four stations
}

// Small files with the largest counts the working limits allow, in every
// place a count stands, and every small file of the seed corpus.
std::vector<std::string> smallFiles() {
    const char* const counts[] = {"0",       "1",       "999999",  "1000000",    "1000001",
                                  "6000000", "6000005", "6000006", "2147483647", "-1"};
    std::vector<std::string> files;
    for (const char* declared : counts) {
        for (const char* values : counts) {
            files.push_back(std::string("diamond 5 x\n2026 1 1 0 ") + declared + "\n7 1 2 3 " + values +
                            "\n1000 10 28 22 180 4\n8 1 2 3 " + values + "\n");
            files.push_back(std::string("0 1 2 3 ") + values + "\n1000 0 10 28 22 180 4\n0 2 2 3 " + declared +
                            "\n");
        }
        files.push_back(std::string("x 1 y 2026 1 1 0 ") + declared +
                        "\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 1 2 25 26\n");
    }
    // A station of a million levels read from a file of a few hundred bytes,
    // and as many stations as a kilobyte can declare.
    std::string levels = "0 1 2 3 1000000\n";
    while (levels.size() < 1000) {
        levels += "1 ";
    }
    files.push_back(levels);
    std::string stations;
    while (stations.size() < 1000) {
        stations += "0 0 0 0 0\n";
    }
    files.push_back(stations);
    std::error_code error;
    for (const auto& directory : {std::string(VIVEZERU5_EXAMPLES_DIR), std::string(VIVEZERU5_FUZZ_CORPUS_DIR)}) {
        for (auto it = std::filesystem::recursive_directory_iterator(directory, error);
             it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (it->is_regular_file() && it->file_size() < 1024) {
                files.push_back(fileText(it->path().string()));
            }
        }
    }
    return files;
}

TEST(Memory, NoSmallFileCostsMoreThan128Megabytes) {
    SKIP_WITHOUT_COUNTING();
    const std::vector<std::string> files = smallFiles();
    ASSERT_GT(files.size(), 200u);
    for (const Reader reader : model::kAllReaders) {
        std::int64_t largest = 0;
        std::string largestFile;
        for (const std::string& contents : files) {
            ASSERT_LT(contents.size(), 1024u);
            ScratchFile file(contents);
            const Usage usage = measure(reader, file.path());
            if (usage.total > largest) {
                largest = usage.total;
                largestFile = contents.substr(0, 60);
            }
        }
        EXPECT_LE(largest, 128 * kMegabyte) << model::nameOf(reader) << ": \"" << largestFile << "...\"";
        std::printf("%s: at most %.1f MB for a file under 1 KB\n", model::nameOf(reader),
                    static_cast<double>(largest) / kMegabyte);
    }
}

// Files of one shape, `units` repetitions of a unit, for the growth test.
struct Shape {
    const char* name;
    Reader reader;
    std::string (*make)(int units);
};

std::string type5Stations(int units) {
    std::string text = "diamond 5 x\n2026 1 1 0 " + std::to_string(units) + "\n";
    for (int i = 0; i < units; ++i) {
        text += "7 1 2 3 18\n1000 10 28 22 180 4\n850 149 18 15 220 10\n500 587 -9 -20 260 22\n";
    }
    return text;
}
std::string type5EmptyStations(int units) {
    std::string text = "March 5 x\n2026 1 1 0 " + std::to_string(units) + "\n";
    for (int i = 0; i < units; ++i) {
        text += "7 1 2 3 0\n";
    }
    return text;
}
std::string characteristicLevels(int units) {
    std::string text = "0 1 2 3 " + std::to_string(units) + "\n";
    for (int i = 0; i < units; ++i) {
        text += "1 0 2 3 4 5 6\n";
    }
    return text;
}
std::string characteristicEmptyStations(int units) {
    std::string text;
    for (int i = 0; i < units; ++i) {
        text += "0 0 0 0 0\n";
    }
    return text;
}
std::string surfaceStations(int units) {
    std::string text = "x 1 y 2026 1 1 0 " + std::to_string(units) + "\n";
    for (int i = 0; i < units; ++i) {
        text += "1 2 3 4 5 6 7 8 9 1 1 2 3 4 5 6 7 8 9 1 1 2 1 2 5 6\n";
    }
    return text;
}
std::string longDescription(int units) { return "diamond 5 " + std::string(static_cast<std::size_t>(units) * 64, 'd') + " 2026 1 1 0 1\n7 1 2 3 0\n"; }
std::string longNumber(int units) {
    return "0 1 2 3 1\n0." + std::string(static_cast<std::size_t>(units) * 64, '3') + " 0 2 3 4 5 6\n";
}

TEST(Memory, PeakGrowsLinearlyWithTheFile) {
    SKIP_WITHOUT_COUNTING();
    const Shape shapes[] = {
        {"type-5 stations", Reader::Type5, type5Stations},
        {"type-5 stations, plain", Reader::Type5Plain, type5Stations},
        {"type-5 stations without levels", Reader::Type5, type5EmptyStations},
        {"characteristic levels", Reader::Rozedu, characteristicLevels},
        {"characteristic stations without levels", Reader::Rozedu, characteristicEmptyStations},
        {"surface stations", Reader::Surface, surfaceStations},
        {"long description", Reader::Type5Plain, longDescription},
        {"long real number", Reader::Rozedu, longNumber},
    };
    const int multiples[] = {1, 2, 4, 8, 16, 32};
    constexpr int kBaseUnits = 2000;
    for (const Shape& shape : shapes) {
        std::vector<double> sizes;
        std::vector<double> peaks;
        for (const int multiple : multiples) {
            ScratchFile file(shape.make(kBaseUnits * multiple));
            sizes.push_back(static_cast<double>(std::filesystem::file_size(file.path())));
            peaks.push_back(static_cast<double>(measure(shape.reader, file.path()).peak));
        }
        // Bytes held per byte of file, as the file grows from one size to the next.
        const double firstSlope = (peaks[1] - peaks[0]) / (sizes[1] - sizes[0]);
        std::string report = std::string(shape.name) + ":";
        for (std::size_t i = 1; i < sizes.size(); ++i) {
            const double slope = (peaks[i] - peaks[i - 1]) / (sizes[i] - sizes[i - 1]);
            report += ' ';
            report += std::to_string(slope);
            EXPECT_LE(slope, 1.5 * firstSlope + 0.5) << shape.name << ", file of " << sizes[i] << " bytes";
        }
        // And never much beyond the file: no shape costs more than 64 bytes per byte.
        EXPECT_LE(peaks.back(), 64.0 * sizes.back() + kMegabyte) << shape.name;
        std::printf("%s bytes held per file byte; largest file %.0f bytes, peak %.1f MB\n", report.c_str(),
                    sizes.back(), peaks.back() / kMegabyte);
    }
}

// Standard output and error sent to /dev/null while it lives, without an
// allocation of its own.
class SilencedOutput {
public:
    SilencedOutput() {
        std::fflush(nullptr);
        for (int stream = 1; stream <= 2; ++stream) {
            saved_[stream - 1] = ::dup(stream);
            const int sink = ::open("/dev/null", O_WRONLY);
            ::dup2(sink, stream);
            ::close(sink);
        }
    }
    ~SilencedOutput() {
        std::fflush(nullptr);
        for (int stream = 1; stream <= 2; ++stream) {
            ::dup2(saved_[stream - 1], stream);
            ::close(saved_[stream - 1]);
        }
    }
    SilencedOutput(const SilencedOutput&) = delete;
    SilencedOutput& operator=(const SilencedOutput&) = delete;

private:
    int saved_[2];
};

// The k-th allocation of a reader call fails, for k = 1, 2, ... until a call
// makes fewer than k: each call returns NULL or the whole block, and every
// byte it allocated is released (with the block, when there is one).
TEST(Memory, EveryAllocationFailingInTurn) {
    SKIP_WITHOUT_COUNTING();
    struct Case {
        Reader reader;
        const char* example;
    };
    const Case cases[] = {
        {Reader::Type5, "sounding_type5.txt"},
        {Reader::Type5Plain, "sounding_type5_decimal.txt"},
        {Reader::Rozedu, "sounding_rozedu.txt"},
        {Reader::Surface, "surface_type1.txt"},
    };
    for (const Case& c : cases) {
        const std::string context = std::string(c.example) + ", " + model::nameOf(c.reader);
        const std::string path = std::string(VIVEZERU5_EXAMPLES_DIR) + "/" + c.example;
        const model::ExpectedBlock expected = model::expectBlock(c.reader, path.c_str());
        std::vector<std::string> problems;
        std::int64_t failingAt = 1;
        {
            SilencedOutput silenced;
            std::free(model::callReader(c.reader, path.c_str(), false));  // the C library's stream buffers
            for (bool failed = true; failed && failingAt < 10000; ++failingAt) {
                const std::int64_t before = liveBytes.load();
                allocationsBeforeFailure.store(failingAt);
                float* block = model::callReader(c.reader, path.c_str(), false);
                failed = allocationsBeforeFailure.exchange(0) <= 0;
                std::string problem = block == nullptr ? "" : model::checkBlock(c.reader, block, expected);
                if (!failed && block == nullptr) {
                    problem = "NULL without a failed allocation";
                }
                std::free(block);
                if (liveBytes.load() != before) {
                    problem += " bytes not released: ";
                    problem += std::to_string(liveBytes.load() - before);
                }
                if (!problem.empty()) {
                    problems.push_back("allocation " + std::to_string(failingAt) + " failing: " + problem);
                }
            }
        }
        std::printf("%s: allocation 1 to %lld failed in turn\n", context.c_str(),
                    static_cast<long long>(failingAt - 2));
        EXPECT_GT(failingAt, 2) << context;
        EXPECT_LT(failingAt, 10000) << context;
        EXPECT_TRUE(problems.empty()) << context << ": " << problems.size() << " problems, first: "
                                      << (problems.empty() ? "" : problems.front());
    }
}

}  // namespace
}  // namespace vivezeru5
