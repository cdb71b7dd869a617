// The frame every sounding reader shares: open the file (reporting a path
// that cannot be opened), parse its stations, each packed into the growing
// block as soon as it is complete, close the file, hand over the block.
#pragma once

#include <optional>

#include "readers/block_packing.h"
#include "readers/data_file.h"
#include "readers/reading_report.h"
#include "readers/sounding_records.h"
#include "readers/token_scanner.h"

namespace vivezeru5 {

// What a parse tells the packing: the header values and the block's size in floats.
struct PackingPlan {
    BlockHeader header;
    std::int64_t blockSize;
};

// `parse(scanner, list, packed)` reads the stations, each into `list` and,
// once complete, into `packed`, and returns the plan, or nothing when the
// file is rejected (or memory ran out): the result is then null.
template <typename Parse>
float* readSoundingFile(const char* path, const ReadingContext& context, Parse parse) {
    DataFile file(path);
    if (!file.isOpen()) {
        reportUnopenableSoundingFile(context.messages);
        return nullptr;
    }
    StationList list;
    PackedStations packed;
    TokenScanner scanner(file.handle());
    if (!scanner.isReady()) {
        return nullptr;  // out of memory
    }
    const std::optional<PackingPlan> plan = parse(scanner, list, packed);
    file.close();
    if (!plan) {
        return nullptr;
    }
    return packed.release(plan->header, plan->blockSize,
                          context.report != nullptr ? &context.report->blockFloats : nullptr);
}

}  // namespace vivezeru5
