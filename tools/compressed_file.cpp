#include "compressed_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#if defined(VIVEZERU5_WITH_ZLIB)
#include <zlib.h>
#endif
#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace vivezeru5::cli {
namespace {

// A decompressed file larger than this is refused: an archive's files are
// megabytes, and a damaged or hostile one must not fill the disk.
constexpr unsigned long long kLargestDecompressed = 2ull << 30;

bool startsWithGzipMagic(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    unsigned char magic[2] = {0, 0};
    const bool gzip = std::fread(magic, 1, 2, file) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
    std::fclose(file);
    return gzip;
}

#if defined(VIVEZERU5_WITH_ZLIB)
std::optional<std::string> copyDecompressed(const std::string& path, std::FILE* out) {
    gzFile in = gzopen(path.c_str(), "rb");
    if (in == nullptr) {
        return "cannot open the compressed file";
    }
    char chunk[1 << 16];
    unsigned long long total = 0;
    int count = 0;
    std::optional<std::string> failure;
    while ((count = gzread(in, chunk, sizeof chunk)) > 0) {
        total += static_cast<unsigned long long>(count);
        if (total > kLargestDecompressed || std::fwrite(chunk, 1, static_cast<std::size_t>(count), out) !=
                                                static_cast<std::size_t>(count)) {
            failure = total > kLargestDecompressed ? "decompresses to more than 2 GiB" : "cannot write the copy";
            break;
        }
    }
    int error = Z_OK;
    const char* message = gzerror(in, &error);
    if (!failure && (count < 0 || (error != Z_OK && error != Z_STREAM_END))) {
        failure = std::string("cannot decompress: ") + message;
    }
    gzclose(in);
    return failure;
}
#endif

}  // namespace

DecompressedCopy::~DecompressedCopy() {
    if (!path_.empty()) {
        std::remove(path_.c_str());
    }
}

bool canDecompress() {
#if defined(VIVEZERU5_WITH_ZLIB)
    return true;
#else
    return false;
#endif
}

std::optional<std::string> DecompressedCopy::decompress(const std::string& path, DecompressedCopy& copy) {
    if (!startsWithGzipMagic(path)) {
        return std::nullopt;
    }
#if defined(VIVEZERU5_WITH_ZLIB) && !defined(_WIN32)
    std::string name = (std::filesystem::temp_directory_path() / "vivezeru5-XXXXXX").string();
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) {
        return "cannot make a temporary file for the decompressed copy";
    }
    copy.path_ = name;
    std::FILE* out = ::fdopen(descriptor, "wb");
    if (out == nullptr) {
        ::close(descriptor);
        return "cannot write the decompressed copy";
    }
    std::optional<std::string> failure = copyDecompressed(path, out);
    if (std::fclose(out) != 0 && !failure) {
        failure = "cannot write the decompressed copy";
    }
    return failure;
#else
    (void)copy;
    return "gzip-compressed, and this build of the tool cannot decompress";
#endif
}

}  // namespace vivezeru5::cli
