// A second, independent reading of each Velmor format through the C library's
// own formatted input (fscanf), which predicts every float of the block a
// reader returns: the header, each station's values, the terminator and the
// missing-value fill after it. Only the 19 derived values of an analysed
// station are not predicted; they are read, so that a checker touches every
// float of the block.
//
// Used by the fuzzers, the hostile-file tests and the thread tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vivezeru5::model {

enum class Reader { Type5, Rozedu, Type5Plain, Surface };

inline constexpr Reader kAllReaders[] = {Reader::Type5, Reader::Rozedu, Reader::Type5Plain,
                                         Reader::Surface};

const char* nameOf(Reader reader);

// Calls the reader on `path`. With `quiet`, the analysing readers' progress
// lines on standard output are discarded (not safe while other threads write
// to standard output).
float* callReader(Reader reader, const char* path, bool quiet);

// What a block must hold.
struct ExpectedBlock {
    bool null = true;            // the reader must return NULL
    std::int64_t size = 0;       // floats in the block
    std::vector<float> leading;  // predicted floats from index 0; every float after them is -9999
    std::vector<std::uint8_t> derived;  // per leading float: 1 where an analysis step writes it
    std::int64_t terminator = -1;       // index of the terminator
};

// The block the reader must return for the file at `path`.
ExpectedBlock expectBlock(Reader reader, const char* path);

// Compares `block` with `expected` float by float (bit for bit, derived values
// only read). Returns an empty string when they agree, else what differs.
std::string checkBlock(Reader reader, const float* block, const ExpectedBlock& expected);

// The number of floats a block holds, from its own header where the layout
// says so; for the surface reader, which does not record it, -1.
std::int64_t blockSizeFromHeader(Reader reader, const float* block);

}  // namespace vivezeru5::model
