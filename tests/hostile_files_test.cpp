// Files a host application might hand the readers by mistake or by malice:
// empty, binary, truncated, with absurd counts or enormous tokens. Each reader
// must return NULL or a block that agrees, float by float, with the C
// library's reading of the same file (tests/reader_model.h), and never
// misbehave; the address and undefined-behaviour sanitizer builds run these
// same cases.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "reader_model.h"
#include "test_support.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5 {
namespace {

using model::Reader;
using testing::Block;
using testing::ScratchFile;


// Reads `path` with `reader`, checks the block against the model and returns it.
Block readAndCheck(Reader reader, const char* path, const std::string& context) {
    Block block(model::callReader(reader, path, true));
    const model::ExpectedBlock expected = model::expectBlock(reader, path);
    const std::string problem = model::checkBlock(reader, block.get(), expected);
    EXPECT_EQ(problem, "") << context;
    return block;
}

Block readAndCheck(Reader reader, const std::string& contents, const std::string& context) {
    ScratchFile file(contents);
    return readAndCheck(reader, file.path(), context);
}

enum class Outcome { Null, Data, Either };  // Data: a block, not NULL

struct HostileCase {
    std::string name;
    std::string contents;
    Outcome type5;           // readVelmorData5 and readVelmor5Only
    Outcome characteristic;  // readRozeduData
    Outcome surface;         // ReadVelmorData1
};

Outcome outcomeFor(const HostileCase& c, Reader reader) {
    switch (reader) {
        case Reader::Type5:
        case Reader::Type5Plain: return c.type5;
        case Reader::Rozedu: return c.characteristic;
        case Reader::Surface: return c.surface;
    }
    return Outcome::Either;
}

std::string junk(std::uint64_t seed, std::size_t size) {
    std::mt19937_64 random(seed);
    std::string text(size, '\0');
    for (char& c : text) {
        c = static_cast<char>(random() & 0xff);
    }
    return text;
}

const std::string kType5Head = "diamond 5 hostile\n2026 1 2 3 ";
const std::string kSurfaceHead = "surface 1 hostile 2026 1 2 3 ";
const std::string kSurfaceStation = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24\n";
const std::string kLevel5 = "1000 10 28 22 180 4\n";
const std::string kLevel7 = "1000 0 10 28 22 180 4\n";

std::vector<HostileCase> hostileCases() {
    using O = Outcome;
    const std::string megaDigits(4 << 20, '7');
    const std::string megaLetters(4 << 20, 'q');
    const std::size_t mebibyte = std::size_t{1} << 20;
    std::vector<HostileCase> cases = {
        {"empty file", "", O::Null, O::Data, O::Null},
        {"blanks only", " \t\r\n\v\f\r\n", O::Null, O::Data, O::Null},
        {"NUL bytes only", std::string(64, '\0'), O::Null, O::Data, O::Null},
        {"text of no format", "station list, no data\n", O::Null, O::Data, O::Null},

        // Declared station counts.
        {"type-5 count 0", kType5Head + "0\n7 1 2 3 6\n" + kLevel5, O::Null, O::Data, O::Data},
        {"type-5 count -1", kType5Head + "-1\n7 1 2 3 6\n" + kLevel5, O::Null, O::Data, O::Null},
        {"type-5 count 2^31-1", kType5Head + "2147483647\n7 1 2 3 6\n" + kLevel5, O::Null, O::Data, O::Null},
        {"type-5 count 2^31 (stored as -2^31)", kType5Head + "2147483648\n", O::Null, O::Data, O::Null},
        {"type-5 count 1000001", kType5Head + "1000001\n7 1 2 3 6\n" + kLevel5, O::Null, O::Data, O::Null},
        {"type-5 count 1000000", kType5Head + "1000000\n7 1 2 3 6\n" + kLevel5, O::Data, O::Data, O::Null},
        {"surface count 0", kSurfaceHead + "0\n" + kSurfaceStation, O::Null, O::Data, O::Data},
        {"surface count -1", kSurfaceHead + "-1\n" + kSurfaceStation, O::Null, O::Data, O::Null},
        {"surface count 2^31-1", kSurfaceHead + "2147483647\n" + kSurfaceStation, O::Null, O::Data, O::Null},
        {"surface count 1000001", kSurfaceHead + "1000001\n" + kSurfaceStation, O::Null, O::Data, O::Null},
        {"surface count 1000000", kSurfaceHead + "1000000\n" + kSurfaceStation, O::Null, O::Data, O::Data},
        {"surface count 1000000, no station", kSurfaceHead + "1000000\n", O::Null, O::Data, O::Null},

        // Value and level counts of one station.
        {"type-5 value count -1", kType5Head + "2\n7 1 2 3 6\n" + kLevel5 + "8 1 2 3 -1\n" + kLevel5, O::Data,
         O::Data, O::Null},
        {"type-5 value count 2^31-1", kType5Head + "2\n7 1 2 3 6\n" + kLevel5 + "8 1 2 3 2147483647\n" + kLevel5,
         O::Data, O::Data, O::Null},
        {"type-5 value count of 1000001 levels", kType5Head + "1\n8 1 2 3 6000006\n" + kLevel5, O::Data,
         O::Data, O::Null},
        {"type-5 value count of 1000000 levels", kType5Head + "2\n8 1 2 3 6000005\n" + kLevel5, O::Data,
         O::Data, O::Null},
        {"characteristic level count -1", "0 1 2 3 1\n" + kLevel7 + "0 2 2 3 -1\n" + kLevel7, O::Null, O::Data,
         O::Null},
        {"characteristic level count 2^31-1", "0 1 2 3 2147483647\n" + kLevel7, O::Null, O::Data, O::Null},
        {"characteristic level count 1000001", "0 1 2 3 1000001\n" + kLevel7, O::Null, O::Data, O::Null},
        {"characteristic level count 1000000", "0 1 2 3 1000000\n" + kLevel7, O::Null, O::Data, O::Null},

        // A station header and then the end of the file.
        {"type-5 station header at end of file", kType5Head + "1\n10001 116.30 39.90 55 90", O::Data, O::Data,
         O::Null},
        {"type-5 date line at end of file", "diamond 5 hostile\n2026 1 2", O::Null, O::Data, O::Null},
        {"characteristic station line at end of file", "0 30001 35.0 110.0 12", O::Null, O::Data, O::Null},
        {"surface header at end of file", kSurfaceHead + "2", O::Null, O::Data, O::Null},

        // Single tokens of several megabytes.
        {"megabyte tag", megaLetters + " 5 x\n2026 1 2 3 1\n7 1 2 3 6\n" + kLevel5, O::Null, O::Data, O::Null},
        {"megabyte description", "March 5 " + megaLetters + "\n2026 1 2 3 1\n7 1 2 3 6\n" + kLevel5, O::Null,
         O::Data, O::Null},
        {"megabyte integer", kType5Head + "1\n7 1 2 3 6\n" + megaDigits + " 10 28 22 180 4\n", O::Data, O::Data,
         O::Null},
        {"megabyte real number", "0 1 2 3 1\n0." + megaDigits + "e-3 0 10 28 22 180 4\n", O::Null, O::Data,
         O::Null},
        {"megabyte station count", kType5Head + megaDigits + "\n", O::Null, O::Data, O::Null},
        {"megabyte word where numbers are due", kSurfaceHead + "1\n" + megaLetters, O::Null, O::Data, O::Null},

        // Tokens at the 1 MiB limit and one character past it, which ends the reading.
        {"description of exactly 1 MiB", "March 5 " + std::string(mebibyte, 'd') + "\n2026 1 2 3 1\n7 1 2 3 6\n" + kLevel5,
         O::Data, O::Data, O::Null},
        {"description of 1 MiB and one", "March 5 " + std::string(mebibyte + 1, 'd') + "\n2026 1 2 3 1\n7 1 2 3 6\n" +
                                             kLevel5,
         O::Null, O::Data, O::Null},
        {"real number of exactly 1 MiB", "0 1 2 3 1\n0." + std::string(mebibyte - 2, '3') + " 0 10 28 22 180 4\n",
         O::Null, O::Data, O::Null},
        {"integer of 1 MiB and one ends the stations",
         kType5Head + "3\n7 1 2 3 6\n" + kLevel5 + "8 1 2 3 6\n" + std::string(mebibyte + 1, '7') +
             " 10 28 22 180 4\n9 1 2 3 6\n" + kLevel5,
         O::Data, O::Data, O::Null},
        {"surface value of 1 MiB and one ends the stations",
         kSurfaceHead + "2\n" + kSurfaceStation + std::string(mebibyte + 1, '5') + "\n" + kSurfaceStation, O::Null,
         O::Data, O::Data},
        {"surface tag of 1 MiB and one", std::string(mebibyte + 1, 's') + " 1 x 2026 1 2 3 1\n" + kSurfaceStation,
         O::Null, O::Data, O::Null},
        {"word of 1 MiB and one where a characteristic level is due",
         "0 1 2 3 2\n" + kLevel7 + std::string(mebibyte + 1, '-') + "\n" + kLevel7 + "0 2 2 3 1\n" + kLevel7, O::Null,
         O::Data, O::Null},

        // Values the C library converts without complaint.
        {"spelled and hexadecimal values",
         kType5Head + "1\n7 0x1p4 -inf nan 12\n1000 0x10 1e+ -0 +5 .5e1\n850 1e39 -1e-50 infinity NaN 3.\n",
         O::Data, O::Data, O::Null},
        {"characteristic values out of range", "0 1 1e39 -inf 2\n1e400 0 nan 28 22 180 4\n-0 0 0 0 0 0 0\n",
         O::Null, O::Data, O::Null},
        {"negative NaN spellings", kType5Head + "1\n7 -nan 2 3 18\n1000 10 -NaN 22 180 4\n850 -nan 1 1 1 1\n500 1 1 1 1 1\n",
         O::Data, O::Data, O::Null},
        {"negative NaN in characteristic levels",
         "0 1 -nan 3 3\n1000 0 10 -nan 22 180 4\n850 0 149 18 -nan 220 10\n500 0 587 -9 -20 -nan 22\n", O::Null,
         O::Data, O::Null},
        {"negative NaN in a surface station", kSurfaceHead + "1\n1 2 3 -nan 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 1 2 -NAN 7\n",
         O::Null, O::Data, O::Data},
        {"NUL byte inside a station", kType5Head + "2\n7 1 2 3 6\n1000 10 2" + std::string(1, '\0') +
                                          "8 22 180 4\n8 1 2 3 6\n" + kLevel5,
         O::Data, O::Data, O::Null},
    };
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        cases.push_back({"binary junk " + std::to_string(seed), junk(seed, 1 + (seed * 997) % 5000), O::Either,
                         O::Either, O::Either});
    }
    // Junk behind a valid beginning, so that it reaches the station reading.
    cases.push_back({"type-5 header then junk", kType5Head + "3\n" + junk(99, 3000), O::Data, O::Data, O::Either});
    cases.push_back({"characteristic station then junk", "0 1 2 3 40\n" + junk(98, 3000), O::Null, O::Data,
                     O::Null});
    cases.push_back({"surface header then junk", kSurfaceHead + "4\n" + kSurfaceStation + junk(97, 3000), O::Null,
                     O::Data, O::Data});
    return cases;
}

TEST(HostileFiles, EveryReaderReturnsNullOrAConsistentBlock) {
    for (const HostileCase& c : hostileCases()) {
        for (const Reader reader : model::kAllReaders) {
            const std::string context = c.name + ", " + model::nameOf(reader);
            const Block block = readAndCheck(reader, c.contents, context);
            switch (outcomeFor(c, reader)) {
                case Outcome::Null: EXPECT_EQ(block, nullptr) << context; break;
                case Outcome::Data: EXPECT_NE(block, nullptr) << context; break;
                case Outcome::Either: break;
            }
        }
    }
}

// A few outcomes spelled out, so that the model itself is held to the
// documented layout and not only to agreement with the readers.
TEST(HostileFiles, DocumentedLayoutOfTheLimitCases) {
    {
        const Block block = readAndCheck(Reader::Rozedu, std::string(), "empty file");
        ASSERT_TRUE(block);
        EXPECT_EQ(block.get()[0], 6.0f);
        EXPECT_EQ(block.get()[5], 0.0f);
        EXPECT_EQ(block.get()[6], VIVEZERU5_MISSING);
    }
    {
        // 1,000,000 declared, none readable: 5·declared + 5 + 0 + 0 + 1.
        const Block block = readAndCheck(Reader::Type5, kType5Head + "1000000\n", "no station read");
        ASSERT_TRUE(block);
        EXPECT_EQ(block.get()[0], 5000006.0f);
        EXPECT_EQ(block.get()[5], 0.0f);
        EXPECT_EQ(block.get()[6], VIVEZERU5_MISSING);
    }
    {
        // A station of 1,000,001 levels ends the reading before it.
        const Block block = readAndCheck(
            Reader::Type5Plain, kType5Head + "2\n7 1 2 3 6\n" + kLevel5 + "8 1 2 3 6000006\n" + kLevel5, "levels");
        ASSERT_TRUE(block);
        EXPECT_EQ(block.get()[5], 1.0f);
        EXPECT_EQ(block.get()[0], 5.0f * 2 + 7 + 6);
        EXPECT_EQ(block.get()[6 + 5 + 6], VIVEZERU5_MISSING);
    }
    {
        const Block block = readAndCheck(Reader::Rozedu, "0 1 2 3 1000000\n" + kLevel7, "levels");
        ASSERT_TRUE(block);
        EXPECT_EQ(block.get()[5], 1.0f);
        EXPECT_EQ(block.get()[0], 6.0f + 5 + 6 * 1000000 + 19);
        EXPECT_EQ(block.get()[6 + 5], 1000.0f);
        EXPECT_EQ(block.get()[6 + 5 + 6], VIVEZERU5_MISSING);  // the second level is not in the file
    }
    {
        const Block block = readAndCheck(Reader::Surface, kSurfaceHead + "0\n", "no stations");
        ASSERT_TRUE(block);
        EXPECT_EQ(block.get()[4], 0.0f);
    }
}

// Element 0 is a float, exact only up to 2^24. A file of a few megabytes can
// make a type-5 block larger than that; the count element 0 then gives may
// round up, and a caller who trusts it must still stay inside the block.
TEST(HostileFiles, ElementZeroNeverPromisesMoreThanTheBlock) {
    // Three stations of 1,000,000 levels whose values each stop at a lone "-":
    // value counts 6000005 + 6000005 + 6000003 put element 0 of the plain
    // reader at 18000035 and of the analysing reader at 18000091, both of
    // which round up to the next even float.
    std::string text = "diamond 5 x\n2026 1 1 0 3\n";
    for (const char* valueCount : {"6000005", "6000005", "6000003"}) {
        text += std::string("7 1 2 3 ") + valueCount + "\n";
        for (int level = 0; level < 1000000; ++level) {
            text += "-\n";
        }
    }
    ScratchFile file(text);
    for (const Reader reader : {Reader::Type5Plain, Reader::Type5}) {
        const Block block = readAndCheck(reader, file.path(), model::nameOf(reader));
        ASSERT_TRUE(block) << model::nameOf(reader);
        EXPECT_EQ(block.get()[5], 3.0f);
        const std::int64_t promised = model::blockSizeFromHeader(reader, block.get());
        EXPECT_GT(promised, std::int64_t{1} << 24);
        EXPECT_EQ(block.get()[promised - 1], VIVEZERU5_MISSING) << model::nameOf(reader);
    }
}

struct ExampleFile {
    const char* name;
    std::vector<Reader> readers;
};

const ExampleFile kExamples[] = {
    {"sounding_type5.txt", {Reader::Type5, Reader::Type5Plain}},
    {"sounding_type5_decimal.txt", {Reader::Type5Plain, Reader::Type5}},
    {"sounding_rozedu.txt", {Reader::Rozedu}},
    {"surface_type1.txt", {Reader::Surface}},
};

TEST(HostileFiles, EveryPrefixOfTheExamples) {
    for (const ExampleFile& example : kExamples) {
        const std::string text = testing::readExample(example.name);
        ASSERT_FALSE(text.empty()) << example.name;
        for (const Reader reader : example.readers) {
            for (std::size_t length = 0; length <= text.size(); ++length) {
                readAndCheck(reader, text.substr(0, length),
                             std::string(example.name) + " cut after " + std::to_string(length) + " bytes, " +
                                 model::nameOf(reader));
                if (HasFailure()) {
                    return;  // one report is enough; the rest would repeat it
                }
            }
        }
    }
}

// Replaces every "\n" with `lineEnd`.
std::string withLineEnds(const std::string& text, const std::string& lineEnd) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += lineEnd;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

TEST(HostileFiles, LineEndsDoNotChangeTheBlock) {
    for (const ExampleFile& example : kExamples) {
        const std::string text = testing::readExample(example.name);
        for (const Reader reader : example.readers) {
            const std::string context = std::string(example.name) + ", " + model::nameOf(reader);
            ScratchFile original(text);
            const Block reference = readAndCheck(reader, original.path(), context);
            ASSERT_TRUE(reference) << context;
            const std::int64_t size = model::expectBlock(reader, original.path()).size;
            for (const char* lineEnd : {"\r\n", "\r", "\n\r", "\v", "\f", "\t\r\n"}) {
                const Block block = readAndCheck(reader, withLineEnds(text, lineEnd), context);
                ASSERT_TRUE(block) << context;
                EXPECT_EQ(std::memcmp(block.get(), reference.get(), static_cast<std::size_t>(size) * sizeof(float)),
                          0)
                    << context << " with line ends of " << std::strlen(lineEnd) << " bytes";
            }
        }
    }
}

TEST(HostileFiles, PathsThatAreNotDataFiles) {
    const std::string directory = std::filesystem::temp_directory_path().string();
    for (const Reader reader : model::kAllReaders) {
        const std::string name = model::nameOf(reader);
        const bool sounding = reader != Reader::Surface;
        const std::string noMessage;
        const std::string message = sounding ? "Cannot open map data file.\n" : "";

        // A directory opens and reads as an empty file.
        std::string written = testing::captureStderr([&] { readAndCheck(reader, directory.c_str(), name + ", directory"); });
        EXPECT_EQ(written, noMessage) << name;

        Block block;
        written = testing::captureStderr([&] { block.reset(model::callReader(reader, testing::missingPath().c_str(), true)); });
        EXPECT_EQ(block, nullptr) << name;
        EXPECT_EQ(written, message) << name << ", missing file";

        written = testing::captureStderr([&] { block.reset(model::callReader(reader, nullptr, true)); });
        EXPECT_EQ(block, nullptr) << name;
        EXPECT_EQ(written, message) << name << ", null path";
    }
}

// The model is the oracle of these tests and of the fuzzers: it must notice
// a block that differs from the file in any of the ways a reader could fail.
TEST(HostileFiles, ModelNoticesAlteredBlocks) {
    struct Alteration {
        const char* what;
        Reader reader;
        const char* example;
        std::int64_t index;  // negative: counted back from the end of the block
        float value;
    };
    const Alteration alterations[] = {
        {"element 0", Reader::Type5, "sounding_type5.txt", 0, 400.0f},
        {"element 5", Reader::Type5Plain, "sounding_type5.txt", 5, 2.0f},
        {"a level value", Reader::Rozedu, "sounding_rozedu.txt", 12, 999.0f},
        {"a station id", Reader::Surface, "surface_type1.txt", 5, 1.0f},
        {"the stations-with-values count", Reader::Surface, "surface_type1.txt", 4, 3.0f},
        {"the terminator", Reader::Type5Plain, "sounding_type5.txt", -1, 0.0f},
        {"the year", Reader::Type5Plain, "sounding_type5_decimal.txt", 1, 2025.0f},
        {"the last float", Reader::Rozedu, "sounding_rozedu.txt", -1, 0.0f},
    };
    for (const Alteration& a : alterations) {
        ScratchFile file(testing::readExample(a.example));
        Block block(model::callReader(a.reader, file.path(), true));
        ASSERT_TRUE(block) << a.what;
        const model::ExpectedBlock expected = model::expectBlock(a.reader, file.path());
        ASSERT_EQ(model::checkBlock(a.reader, block.get(), expected), "") << a.what;
        const std::int64_t index =
            a.index >= 0 ? a.index : (a.reader == Reader::Type5Plain ? expected.terminator : expected.size - 1);
        block.get()[index] = a.value;
        EXPECT_NE(model::checkBlock(a.reader, block.get(), expected), "") << a.what;
    }
}

TEST(HostileFiles, UnreadableFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "running as root, which reads a file whatever its permissions";
    }
    ScratchFile file(testing::readExample("sounding_type5.txt"));
    ASSERT_EQ(::chmod(file.path(), 0), 0);
    for (const Reader reader : model::kAllReaders) {
        Block block;
        const std::string written =
            testing::captureStderr([&] { block.reset(model::callReader(reader, file.path(), true)); });
        EXPECT_EQ(block, nullptr) << model::nameOf(reader);
        EXPECT_EQ(written, reader == Reader::Surface ? "" : "Cannot open map data file.\n") << model::nameOf(reader);
    }
}

// Input that never ends: a named pipe fed by a thread with `prefix` and then
// `filler` without end, or /dev/zero. Every reader must come back at once.
struct EndlessCase {
    const char* name;
    Reader reader;
    std::string prefix;  // empty with a NUL filler: /dev/zero
    char filler;
    bool null;
    float elementZero;  // the count of a sounding block
    float stations;     // element 5 of a sounding block, element 4 of a surface block
};

// Writes `prefix`, then `filler` until the reader closes the pipe.
void feedForever(const std::string& pipePath, const std::string& prefix, char filler) {
    const int out = ::open(pipePath.c_str(), O_WRONLY);
    if (out < 0) {
        return;
    }
    const std::string chunk(1 << 16, filler);
    bool open = ::write(out, prefix.data(), prefix.size()) == static_cast<ssize_t>(prefix.size());
    while (open) {
        open = ::write(out, chunk.data(), chunk.size()) > 0;
    }
    ::close(out);
}

TEST(HostileFiles, EndlessInputEndsTheReading) {
    const std::string station = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24\n";
    const EndlessCase cases[] = {
        {"/dev/zero", Reader::Type5, "", '\0', true, 0, 0},
        {"/dev/zero", Reader::Type5Plain, "", '\0', true, 0, 0},
        {"/dev/zero", Reader::Rozedu, "", '\0', false, 6, 0},
        {"/dev/zero", Reader::Surface, "", '\0', true, 0, 0},
        {"endless description", Reader::Type5, "diamond 5 ", 'd', true, 0, 0},
        {"endless level value", Reader::Type5, "diamond 5 x\n2026 1 2 3 2\n7 1 2 3 6\n", '7', false, 41, 1},
        {"endless level value", Reader::Type5Plain, "diamond 5 x\n2026 1 2 3 2\n7 1 2 3 6\n", '7', false, 23, 1},
        {"endless level value", Reader::Rozedu, "0 1 2 3 1\n", '5', false, 36, 1},
        {"endless station line", Reader::Rozedu, "0 1 2 3 1\n1000 0 10 28 22 180 4\n0 2 ", '8', false, 36,
         1},
        {"endless description", Reader::Surface, "x 1 ", 'y', true, 0, 0},
        {"endless station value", Reader::Surface, "x 1 y 2026 1 2 3 2\n" + station, '3', false, 0, 1},
    };
    std::signal(SIGPIPE, SIG_IGN);  // the feeding thread learns of the closed pipe from write()
    const std::string pipePath =
        (std::filesystem::temp_directory_path() / ("vivezeru5-endless-" + std::to_string(::getpid()))).string();
    for (const EndlessCase& c : cases) {
        const std::string context = std::string(c.name) + ", " + model::nameOf(c.reader);
        const bool fromDevice = c.prefix.empty() && c.filler == '\0';
        if (fromDevice && ::access("/dev/zero", R_OK) != 0) {
            continue;
        }
        std::thread feeder;
        if (!fromDevice) {
            ASSERT_EQ(::mkfifo(pipePath.c_str(), 0600), 0) << context;
            feeder = std::thread(feedForever, pipePath, c.prefix, c.filler);
        }
        const auto start = std::chrono::steady_clock::now();
        const Block block(model::callReader(c.reader, fromDevice ? "/dev/zero" : pipePath.c_str(), true));
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (feeder.joinable()) {
            feeder.join();
            std::remove(pipePath.c_str());
        }
        EXPECT_LT(elapsed, std::chrono::seconds(1)) << context;
        ASSERT_EQ(block == nullptr, c.null) << context;
        if (!block) {
            continue;
        }
        if (c.reader == Reader::Surface) {
            EXPECT_EQ(block.get()[4], c.stations) << context;
        } else {
            EXPECT_EQ(block.get()[0], c.elementZero) << context;
            EXPECT_EQ(block.get()[5], c.stations) << context;
        }
    }
}

// A token of 60 MB read with the address space limited to what the process
// already uses and 48 MB more: the reading keeps nothing in proportion to the
// token, so each reader returns the model's block; none may end the process.
TEST(HostileFiles, SixtyMegabyteTokenUnderALimitedAddressSpace) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer reserves more address space than the limit allows";
#endif
    const std::string token(60 << 20, '7');
    const std::string files[] = {
        kType5Head + "2\n7 1 2 3 6\n" + token + " 10 28 22 180 4\n8 1 2 3 6\n" + kLevel5,
        "0 1 2 3 1\n0." + token + " 0 10 28 22 180 4\n",
        kSurfaceHead + "2\n" + kSurfaceStation + token + "\n" + kSurfaceStation,
    };
    for (const std::string& contents : files) {
        ScratchFile file(contents);
        for (const Reader reader : model::kAllReaders) {
            const std::string context = contents.substr(0, 20) + "..., " + model::nameOf(reader);
            const model::ExpectedBlock expected = model::expectBlock(reader, file.path());
            std::fflush(nullptr);
            const pid_t child = ::fork();
            ASSERT_GE(child, 0) << context;
            if (child == 0) {
                long pages = 0;
                std::FILE* statm = std::fopen("/proc/self/statm", "r");
                if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1) {
                    ::_exit(3);
                }
                std::fclose(statm);
                const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) +
                                     (rlim_t{48} << 20);
                const rlimit bound{limit, limit};
                if (::setrlimit(RLIMIT_AS, &bound) != 0) {
                    ::_exit(3);
                }
                float* block = model::callReader(reader, file.path(), true);
                const bool agrees = model::checkBlock(reader, block, expected).empty();
                std::free(block);
                ::_exit(agrees ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child) << context;
            EXPECT_TRUE(WIFEXITED(status)) << context << ": ended by signal " << WTERMSIG(status);
            EXPECT_EQ(WEXITSTATUS(status), 0) << context << " (1: another block, 3: the limit could not be set)";
        }
    }
}

}  // namespace
}  // namespace vivezeru5
