// Silencing the process's standard output around a reader call, so that the
// analysing readers' progress lines do not mix with a program's own output.
#pragma once

#include <cstdio>

#include <fcntl.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vivezeru5::tools {

#if defined(_WIN32)
inline constexpr const char* kNullDevice = "NUL";
inline int duplicateDescriptor(int fd) { return _dup(fd); }
inline int replaceDescriptor(int from, int to) { return _dup2(from, to); }
inline int openNullDevice() { return _open(kNullDevice, _O_WRONLY); }
inline int closeDescriptor(int fd) { return _close(fd); }
inline constexpr int kStdoutDescriptor = 1;
#else
inline constexpr const char* kNullDevice = "/dev/null";
inline int duplicateDescriptor(int fd) { return ::dup(fd); }
inline int replaceDescriptor(int from, int to) { return ::dup2(from, to); }
inline int openNullDevice() { return ::open(kNullDevice, O_WRONLY); }
inline int closeDescriptor(int fd) { return ::close(fd); }
inline constexpr int kStdoutDescriptor = STDOUT_FILENO;
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

}  // namespace vivezeru5::tools
