// One reader on one file, once, for whole-process measurements:
//
//   vivezeru5_read_once READER FILE
//   vivezeru5_read_once --size READER FILE
//   vivezeru5_read_once --same READER READER FILE
//
// READER is type5, type5-plain, rozedu or surface (the library's readers),
// straightforward-type5, straightforward-type5-plain, straightforward-rozedu
// or straightforward-surface (the straightforward implementation, the
// yardstick: fscanf, a linked list, the analysis step by step), or
// from-chars-floor (every token converted with std::from_chars, knowing
// nothing of the format: the floor of any reader). The first form reads the file
// and frees the block (exit 1 when the reader returns NULL); the second also
// prints the size of the block's filled part in MiB; the third checks
// that two readers return the same block bit for bit, so that a comparison
// between them measures the same work.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "conversion_floor.h"
#include "straightforward/readers.h"
#include "vivezeru5/vivezeru5.h"

namespace {

using Reader = float* (*)(const char*);
namespace straightforward = vivezeru5::straightforward;

// The analysing straightforward readers with their progress lines dropped.
float* straightforwardType5(const char* path) { return straightforward::readVelmorData5(path); }
float* straightforwardRozedu(const char* path) { return straightforward::readRozeduData(path); }

struct NamedReader {
    const char* name;
    Reader read;
    bool surfaceLayout;
};

constexpr NamedReader kReaders[] = {
    {"type5", readVelmorData5, false},
    {"type5-plain", readVelmor5Only, false},
    {"rozedu", readRozeduData, false},
    {"surface", ReadVelmorData1, true},
    {"straightforward-type5", straightforwardType5, false},
    {"straightforward-type5-plain", straightforward::readVelmor5Only, false},
    {"straightforward-rozedu", straightforwardRozedu, false},
    {"straightforward-surface", straightforward::ReadVelmorData1, true},
    {"from-chars-floor", vivezeru5::bench::convertEveryToken, false},
};

const NamedReader* readerNamed(const char* name) {
    for (const NamedReader& reader : kReaders) {
        if (std::strcmp(reader.name, name) == 0) {
            return &reader;
        }
    }
    std::fprintf(stderr, "unknown reader %s\n", name);
    return nullptr;
}

// Floats of a block that carry values: element 0 of a sounding block counts
// them (the terminator's index in the analysed ones, which the comparison
// then leaves out); a surface block has 26 a station with values.
std::size_t filledLength(const NamedReader& reader, const float* block) {
    return reader.surfaceLayout ? 5 + 26 * static_cast<std::size_t>(block[4]) : static_cast<std::size_t>(block[0]);
}

int compareReaders(const NamedReader& first, const NamedReader& second, const char* path) {
    float* a = first.read(path);
    float* b = second.read(path);
    int status = 1;
    if (a == nullptr || b == nullptr) {
        std::fprintf(stderr, "%s: a reader returned NULL\n", path);
    } else if (filledLength(first, a) != filledLength(second, b)) {
        std::fprintf(stderr, "%s: blocks of different lengths\n", path);
    } else if (std::memcmp(a, b, filledLength(first, a) * sizeof(float)) != 0) {
        std::fprintf(stderr, "%s: %s and %s differ\n", path, first.name, second.name);
    } else {
        std::printf("%s: %s and %s agree on %zu floats\n", path, first.name, second.name, filledLength(first, a));
        status = 0;
    }
    std::free(a);
    std::free(b);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--same") == 0) {
        const NamedReader* first = readerNamed(argv[2]);
        const NamedReader* second = readerNamed(argv[3]);
        return first != nullptr && second != nullptr ? compareReaders(*first, *second, argv[4]) : 2;
    }
    const bool printSize = argc == 4 && std::strcmp(argv[1], "--size") == 0;
    if (argc != 3 && !printSize) {
        std::fprintf(stderr, "usage: vivezeru5_read_once [--size | --same READER] READER FILE\n");
        return 2;
    }
    const NamedReader* reader = readerNamed(argv[argc - 2]);
    if (reader == nullptr) {
        return 2;
    }
    float* block = reader->read(argv[argc - 1]);
    if (block != nullptr && printSize) {
        std::printf("%.1f\n", static_cast<double>(filledLength(*reader, block) * sizeof(float)) / (1 << 20));
    }
    const int status = block != nullptr ? 0 : 1;
    std::free(block);
    return status;
}
