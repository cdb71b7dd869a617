// The four readers of the Velmor station files, written out step by step:
// the C library's formatted input token group by token group, a linked list
// of stations, one malloc'ed block at the end. Each returns the block (the
// caller frees it with free) or null, as the library's exports of the same
// names do.
//
// The analysing readers append their progress lines ("New Method ...
// NegEngBLFC end\n", "New Method ... EL end\n") to `progress` instead of
// writing them to standard output; a null `progress` drops them.
#pragma once

#include <string>

namespace vivezeru5::straightforward {

// Type-5 soundings, integer levels, analysed.
float* readVelmorData5(const char* path, std::string* progress = nullptr);

// Characteristic-level soundings, analysed.
float* readRozeduData(const char* path, std::string* progress = nullptr);

// Type-5 soundings, levels as real numbers, not analysed.
float* readVelmor5Only(const char* path);

// Type-1 surface reports.
float* ReadVelmorData1(const char* path);

}  // namespace vivezeru5::straightforward
