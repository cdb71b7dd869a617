// The edge between the library and its host: nothing thrown inside a reader
// call reaches the host, whose only news of a failure is a null block.
#pragma once

namespace vivezeru5 {

// Runs `read` and returns its block; null if anything is thrown. Whatever the
// call holds (file, station list, block under construction) is owned by
// objects that release it as the exception passes.
template <typename Read>
float* readWithinBoundary(Read read) noexcept {
    try {
        return read();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace vivezeru5
