// Silencing the process's standard output around a reader call, or for a
// whole program run, so that the analysing readers' progress lines do not mix
// with a program's own output.
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

// For a whole program run: the program writes its own output to `output()`,
// the original standard output, while whatever else writes to the process's
// standard output (the analysing readers' progress lines, from any thread)
// goes to the null device, or to standard error when `keepOnStderr`.
class ProgramOutput final {
public:
    explicit ProgramOutput(bool keepOnStderr) {
        std::fflush(stdout);
        const int saved = duplicateDescriptor(kStdoutDescriptor);
        output_ = saved >= 0 ? streamOnDescriptor(saved) : nullptr;
        if (output_ == nullptr) {
            if (saved >= 0) {
                closeDescriptor(saved);
            }
            output_ = stdout;  // nothing can be redirected: keep the one stream
            return;
        }
        const int sink = keepOnStderr ? duplicateDescriptor(kStderrDescriptor) : openNullDevice();
        if (sink >= 0) {
            replaceDescriptor(sink, kStdoutDescriptor);
            closeDescriptor(sink);
        }
    }
    ~ProgramOutput() {
        std::fflush(stdout);
        if (output_ != stdout) {
            std::fflush(output_);
            replaceDescriptor(descriptorOf(output_), kStdoutDescriptor);
            std::fclose(output_);
        }
    }
    ProgramOutput(const ProgramOutput&) = delete;
    ProgramOutput& operator=(const ProgramOutput&) = delete;

    std::FILE* output() const { return output_; }

private:
    std::FILE* output_ = nullptr;
};

}  // namespace vivezeru5::tools
