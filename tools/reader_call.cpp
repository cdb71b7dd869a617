#include "reader_call.h"

#include "vivezeru5/vivezeru5.h"

namespace vivezeru5::cli {

float* callReader(FileFormat format, const char* path) {
    switch (format) {
        case FileFormat::Type5:
            return readVelmorData5(path);
        case FileFormat::Type5Plain:
            return readVelmor5Only(path);
        case FileFormat::Rozedu:
            return readRozeduData(path);
        case FileFormat::Surface:
            return ReadVelmorData1(path);
    }
    return nullptr;
}

}  // namespace vivezeru5::cli
