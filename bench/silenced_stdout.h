// Silencing the process's standard output around a reader call, so that the
// analysing readers' progress lines do not mix with a benchmark's own output.
#pragma once

#include <cstdio>

#include <fcntl.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vivezeru5::bench {

#if defined(_WIN32)
inline constexpr const char* kNullDevice = "NUL";
inline int duplicateDescriptor(int fd) { return _dup(fd); }
inline int replaceDescriptor(int from, int to) { return _dup2(from, to); }
inline int openNullDevice() { return _open(kNullDevice, _O_WRONLY); }
inline int closeDescriptor(int fd) { return _close(fd); }
inline std::FILE* streamOnDescriptor(int fd) { return _fdopen(fd, "w"); }
inline int descriptorOf(std::FILE* stream) { return _fileno(stream); }
inline constexpr int kStdoutDescriptor = 1;
inline constexpr int kStderrDescriptor = 2;
#else
inline constexpr const char* kNullDevice = "/dev/null";
inline int duplicateDescriptor(int fd) { return ::dup(fd); }
inline int replaceDescriptor(int from, int to) { return ::dup2(from, to); }
inline int openNullDevice() { return ::open(kNullDevice, O_WRONLY); }
inline int closeDescriptor(int fd) { return ::close(fd); }
inline std::FILE* streamOnDescriptor(int fd) { return ::fdopen(fd, "w"); }
inline int descriptorOf(std::FILE* stream) { return ::fileno(stream); }
inline constexpr int kStdoutDescriptor = STDOUT_FILENO;
inline constexpr int kStderrDescriptor = STDERR_FILENO;
#endif

// Standard output of the process sent to the null device for the object's lifetime.
class SilencedStdout final {
public:
    SilencedStdout() {
        std::fflush(stdout);
        saved_ = duplicateDescriptor(kStdoutDescriptor);
        const int sink = openNullDevice();
        if (saved_ >= 0 && sink >= 0) {
            replaceDescriptor(sink, kStdoutDescriptor);
        }
        if (sink >= 0) {
            closeDescriptor(sink);
        }
    }
    ~SilencedStdout() {
        std::fflush(stdout);
        if (saved_ >= 0) {
            replaceDescriptor(saved_, kStdoutDescriptor);
            closeDescriptor(saved_);
        }
    }
    SilencedStdout(const SilencedStdout&) = delete;
    SilencedStdout& operator=(const SilencedStdout&) = delete;

private:
    int saved_ = -1;
};

}  // namespace vivezeru5::bench
