// The open data file of one reader call: closed exactly once, on every path.
#pragma once

#include <cstdio>

namespace vivezeru5 {

class DataFile {
public:
    // Opens `path` for reading in text mode; a null path opens nothing.
    explicit DataFile(const char* path)
        : handle_(path == nullptr ? nullptr : std::fopen(path, "r")) {}
    ~DataFile() { close(); }
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    bool isOpen() const { return handle_ != nullptr; }
    std::FILE* handle() const { return handle_; }

    void close() {
        if (handle_ != nullptr) {
            std::fclose(handle_);
            handle_ = nullptr;
        }
    }

private:
    std::FILE* handle_;
};

// Message of the sounding readers for a path that cannot be opened, to
// `messages` (nowhere when null).
inline void reportUnopenableSoundingFile(std::FILE* messages) {
    if (messages != nullptr) {
        std::fputs("Cannot open map data file.\n", messages);
    }
}

}  // namespace vivezeru5
