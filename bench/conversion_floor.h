// The floor a reader is measured against: read the file in large pieces and
// convert every numeric token with std::from_chars into a growing array,
// knowing nothing of the format.
#pragma once

namespace vivezeru5::bench {

// Every numeric token of the file as a float, in a malloc'ed array preceded
// by their count; null when the file cannot be read.
float* convertEveryToken(const char* path);

}  // namespace vivezeru5::bench
