#include "conversion_floor.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vivezeru5::bench {
namespace {

constexpr std::size_t kPiece = std::size_t{1} << 20;

bool isBlank(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// A growing malloc'ed array of floats; element 0 counts the others.
class FloatArray {
public:
    ~FloatArray() { std::free(values_); }
    bool append(float value) {
        if (size_ == capacity_) {
            const std::size_t capacity = capacity_ == 0 ? 4096 : 2 * capacity_;
            auto* grown = static_cast<float*>(std::realloc(values_, capacity * sizeof(float)));
            if (grown == nullptr) {
                return false;
            }
            values_ = grown;
            capacity_ = capacity;
            size_ = size_ == 0 ? 1 : size_;
        }
        values_[size_++] = value;
        return true;
    }
    float* release() {
        if (!append(0)) {
            return nullptr;
        }
        values_[0] = static_cast<float>(size_ - 2);
        float* released = values_;
        values_ = nullptr;
        return released;
    }

private:
    float* values_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace

float* convertEveryToken(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    std::vector<char> buffer(kPiece);
    FloatArray values;
    std::size_t kept = 0;  // an unfinished token carried to the front of the buffer
    bool failed = false;
    while (!failed) {
        const std::size_t read = std::fread(buffer.data() + kept, 1, buffer.size() - kept, file);
        const bool last = read == 0;
        const char* at = buffer.data();
        const char* const end = buffer.data() + kept + read;
        kept = 0;
        while (true) {
            while (at < end && isBlank(*at)) {
                ++at;
            }
            if (at == end) {
                break;
            }
            const char* const token = at;
            while (at < end && !isBlank(*at)) {
                ++at;
            }
            if (at == end && !last) {
                kept = static_cast<std::size_t>(end - token);
                std::memmove(buffer.data(), token, kept);
                break;
            }
            float value = 0;
            if (std::from_chars(token, at, value).ec == std::errc() && !values.append(value)) {
                failed = true;
                break;
            }
        }
        if (last || kept == buffer.size()) {
            break;
        }
    }
    std::fclose(file);
    return failed ? nullptr : values.release();
}

}  // namespace vivezeru5::bench
