// Google Benchmark cases for each step of the sounding analysis, run over the
// stations of a generated type-5 file.
#pragma once

#include <string>

namespace vivezeru5::bench {

// Registers one case per analysis step on the soundings of the type-5 file at `path`.
void registerAnalysisBenchmarks(const std::string& path);

}  // namespace vivezeru5::bench
