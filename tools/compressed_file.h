// A gzip-compressed data file (.gz) read as the file it holds: decompressed
// to a temporary file, which the readers then read and which goes when the
// copy does.
#pragma once

#include <optional>
#include <string>

namespace vivezeru5::cli {

class DecompressedCopy {
public:
    DecompressedCopy() = default;
    ~DecompressedCopy();
    DecompressedCopy(DecompressedCopy&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }
    DecompressedCopy(const DecompressedCopy&) = delete;
    DecompressedCopy& operator=(const DecompressedCopy&) = delete;
    DecompressedCopy& operator=(DecompressedCopy&&) = delete;

    // The temporary file; empty when `path` was no gzip file.
    const std::string& path() const { return path_; }

    // Decompresses `path` when it starts with the gzip magic bytes. Nothing
    // (and no copy) when it does not; the message when it cannot be
    // decompressed (truncated, corrupt, or more than the limit).
    static std::optional<std::string> decompress(const std::string& path, DecompressedCopy& copy);

private:
    std::string path_;
};

// Whether the tool was built with gzip support.
bool canDecompress();

}  // namespace vivezeru5::cli
