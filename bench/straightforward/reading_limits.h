// What the readers accept of a file's counts, and how they pass over the
// rest of a word longer than the room kept for it.
#pragma once

#include <cstdio>

namespace vivezeru5::straightforward {

// Declared station counts and level counts above this end the reading.
inline constexpr int kMaxCount = 1000000;

// Reads on to the end of the current word: a tag or description longer than
// the room kept for it is held truncated, and the next token starts after it.
inline void passOverRestOfWord(std::FILE* file) { std::fscanf(file, "%*[^ \t\n\v\f\r]"); }

// The message of a sounding file that cannot be opened.
inline void reportUnopenableFile() { std::fputs("Cannot open map data file.\n", stderr); }

}  // namespace vivezeru5::straightforward
