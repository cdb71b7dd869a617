// Calls the library reader that reads a given file format.
#pragma once

#include "file_formats.h"

namespace vivezeru5::cli {

// The block the reader for `format` returns for `path`, or null.
float* callReader(FileFormat format, const char* path);

}  // namespace vivezeru5::cli
