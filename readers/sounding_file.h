// The frame every sounding reader shares: open the file (reporting a path
// that cannot be opened), parse its stations into a fresh list, close the
// file, pack the list into the caller's block; the list goes with the call.
#pragma once

#include <optional>

#include "readers/block_packing.h"
#include "readers/data_file.h"
#include "readers/sounding_records.h"
#include "readers/token_scanner.h"

namespace vivezeru5 {

// What a parse tells the packing: the header values, the block's size in
// floats, and whether the stations carry their derived values.
struct PackingPlan {
    BlockHeader header;
    std::int64_t blockSize;
    DerivedIndices derived;
};

// `parse(scanner, list)` fills the list and returns the plan, or nothing when
// the file is rejected (or memory ran out): the result is then null.
template <typename Parse>
float* readSoundingFile(const char* path, Parse parse) {
    DataFile file(path);
    if (!file.isOpen()) {
        reportUnopenableSoundingFile();
        return nullptr;
    }
    StationList list;
    TokenScanner scanner(file.handle());
    if (!scanner.isReady()) {
        return nullptr;  // out of memory
    }
    const std::optional<PackingPlan> plan = parse(scanner, list);
    file.close();
    return plan ? packStationList(list, plan->header, plan->derived, plan->blockSize) : nullptr;
}

}  // namespace vivezeru5
