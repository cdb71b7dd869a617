// Where the analysis's progress lines go: a function the caller chooses, or
// nowhere.
#pragma once

#include <cstdio>

namespace vivezeru5 {

struct ProgressSink {
    void (*write)(const char* line, void* context) = nullptr;  // nowhere when null
    void* context = nullptr;
};

inline void writeProgress(const ProgressSink& sink, const char* line) {
    if (sink.write != nullptr) {
        sink.write(line, sink.context);
    }
}

// The C library's standard output, as the exported readers write them.
inline ProgressSink standardOutputSink() {
    return ProgressSink{[](const char* line, void*) { std::fputs(line, stdout); }, nullptr};
}

}  // namespace vivezeru5
