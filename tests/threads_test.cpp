// Four threads read different files at once, over and over, and must get the
// blocks a sequential read gives. Each reader call owns its station list and
// cursor, and the library keeps no other state; the ThreadSanitizer build runs
// this test.
#include <barrier>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "reader_model.h"
#include "test_support.h"

namespace vivezeru5 {
namespace {

using model::Reader;
using testing::Block;
using testing::ScratchFile;


// The stations of a type-5 example repeated, so that reads last long enough to overlap.
std::string manyType5Stations(const std::string& example, int copies) {
    std::istringstream in(example);
    std::string tag, type, description;
    int year, month, day, hour, declared;
    in >> tag >> type >> description >> year >> month >> day >> hour >> declared;
    std::string body;
    std::getline(in, body, '\0');
    std::string text = tag + " " + type + " " + description + "\n" + std::to_string(year) + " " +
                       std::to_string(month) + " " + std::to_string(day) + " " + std::to_string(hour) + " " +
                       std::to_string(declared * copies) + "\n";
    for (int i = 0; i < copies; ++i) {
        text += body;
    }
    return text;
}

std::string repeated(const std::string& text, int copies) {
    std::string out;
    for (int i = 0; i < copies; ++i) {
        out += text + "\n";
    }
    return out;
}

// Standard output sent to /dev/null while it lives: the analysing readers
// print a progress line per station, from every thread.
class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = ::dup(1);
        const int sink = ::open("/dev/null", O_WRONLY);
        ::dup2(sink, 1);
        ::close(sink);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        ::dup2(saved_, 1);
        ::close(saved_);
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int saved_;
};

struct Job {
    Reader reader;
    std::unique_ptr<ScratchFile> file;
    std::int64_t size = 0;  // floats in the block
    Block expected;         // the block of a sequential read
};

TEST(Threads, ConcurrentReadsGiveTheSequentialBlocks) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 50;
    const std::string type5 = testing::readExample("sounding_type5.txt");
    const std::string decimal = testing::readExample("sounding_type5_decimal.txt");
    const std::string characteristic = testing::readExample("sounding_rozedu.txt");
    const std::string surface = testing::readExample("surface_type1.txt");

    std::vector<Job> jobs;
    auto addJob = [&](Reader reader, const std::string& contents) {
        Job job;
        job.reader = reader;
        job.file = std::make_unique<ScratchFile>(contents);
        jobs.push_back(std::move(job));
    };
    addJob(Reader::Type5, manyType5Stations(type5, 20));
    addJob(Reader::Rozedu, repeated(characteristic, 20));
    addJob(Reader::Type5Plain, manyType5Stations(decimal, 20));
    addJob(Reader::Surface, surface);
    addJob(Reader::Type5, type5);
    addJob(Reader::Rozedu, characteristic);
    addJob(Reader::Type5, manyType5Stations(decimal, 10));
    addJob(Reader::Rozedu, repeated(characteristic, 7) + "0 1 2 3 oops");

    QuietStdout quiet;
    for (Job& job : jobs) {
        const model::ExpectedBlock expected = model::expectBlock(job.reader, job.file->path());
        job.expected.reset(model::callReader(job.reader, job.file->path(), false));
        ASSERT_EQ(model::checkBlock(job.reader, job.expected.get(), expected), "") << model::nameOf(job.reader);
        job.size = expected.size;
    }

    // Each thread takes the jobs in its own rotation, so that at any moment the
    // threads read different files, often with the same reader.
    std::vector<std::vector<std::string>> problems(kThreads);
    std::barrier start(kThreads);
    auto work = [&](int thread) {
        start.arrive_and_wait();
        for (int round = 0; round < kRounds; ++round) {
            for (std::size_t k = 0; k < jobs.size(); ++k) {
                const Job& job = jobs[(k + static_cast<std::size_t>(thread) * 2) % jobs.size()];
                Block block(model::callReader(job.reader, job.file->path(), false));
                if (!block) {
                    problems[thread].push_back(std::string(model::nameOf(job.reader)) + " returned NULL");
                } else if (std::memcmp(block.get(), job.expected.get(),
                                       static_cast<std::size_t>(job.size) * sizeof(float)) != 0) {
                    problems[thread].push_back(std::string(model::nameOf(job.reader)) + " gave another block");
                }
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back(work, t);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_TRUE(problems[t].empty()) << "thread " << t << ": " << problems[t].size() << " reads differ, first: "
                                         << (problems[t].empty() ? "" : problems[t].front());
    }
}

}  // namespace
}  // namespace vivezeru5
