// The edge between the library and its host: nothing thrown inside a reader
// call reaches the host, whose only news of a failure is a null block, and
// the host's floating-point settings neither reach the method nor change.
#pragma once

#include "readers/method_floating_point.h"

namespace vivezeru5 {

// Runs `read` in the method's floating-point environment and returns its
// block; null if anything is thrown. Whatever the call holds (file, station
// list, block under construction) is owned by objects that release it as the
// exception passes. The caller's floating-point settings and flags are given
// back on every path.
template <typename Read>
float* readWithinBoundary(Read read) noexcept {
    const MethodFloatingPointScope environment;
    try {
        return read();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace vivezeru5
