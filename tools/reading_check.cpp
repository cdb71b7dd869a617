#include "reading_check.h"

#include <cstdint>
#include <optional>

#include "formatted_input.h"

namespace vivezeru5::cli {
namespace {

constexpr std::int64_t kType5GroupSize = 6;
constexpr std::int64_t kRozeduGroupSize = 7;
constexpr int kSurfaceValues = 24;

struct Walk {
    std::vector<std::string> stationProblems;
    std::optional<std::int64_t> declaredStations;
    std::optional<std::int32_t> lastStationId;
    std::optional<std::size_t> unreadFrom;  // where the reading stopped with text left
};

// Converts up to `expected` values; a failed conversion leaves the text where
// it stands, so every later conversion of the same station fails too.
std::int64_t convertValues(FormattedInput& input, std::int64_t expected, bool integers) {
    std::int64_t converted = 0;
    while (converted < expected && (integers ? input.readInteger().has_value() : input.readReal().has_value())) {
        ++converted;
    }
    return converted;
}

std::string stationName(std::int32_t id) { return "station " + std::to_string(id) + ": "; }

// Marks where the reading stopped when text is left there.
void noteUnread(FormattedInput& input, std::size_t stoppedAt, Walk& walk) {
    input.moveTo(stoppedAt);
    if (!input.atEnd()) {
        walk.unreadFrom = input.position();
    }
}

void walkType5(FormattedInput& input, bool integerLevels, Walk& walk) {
    input.readWord();
    input.readInteger();
    input.readWord();
    for (int i = 0; i < 4; ++i) {
        input.readInteger();
    }
    const auto declared = input.readInteger();
    walk.declaredStations = declared.value_or(0);
    for (std::int64_t k = 0; k < walk.declaredStations; ++k) {
        if (input.atEnd()) {
            return;
        }
        const std::size_t headerStart = input.position();
        const auto id = input.readInteger();
        const bool position = id && input.readReal() && input.readReal() && input.readReal();
        const auto valueCount = position ? input.readInteger() : std::nullopt;
        if (!valueCount) {
            noteUnread(input, headerStart, walk);
            return;
        }
        walk.lastStationId = *id;
        const std::int64_t count = *valueCount;
        const std::int64_t expected = count > 0 ? count / kType5GroupSize * kType5GroupSize : 0;
        const std::int64_t converted = convertValues(input, expected, integerLevels);
        if (count < 0) {
            walk.stationProblems.push_back(stationName(*id) + "negative value count " + std::to_string(count));
        } else if (count % kType5GroupSize != 0) {
            walk.stationProblems.push_back(stationName(*id) + "value count " + std::to_string(count) +
                                           " is not a multiple of 6");
        }
        if (converted < expected) {
            walk.stationProblems.push_back(stationName(*id) + std::to_string(expected) +
                                           " level values declared, " + std::to_string(converted) + " converted");
        }
    }
    noteUnread(input, input.position(), walk);
}

void walkRozedu(FormattedInput& input, Walk& walk) {
    while (!input.atEnd()) {
        const std::size_t headerStart = input.position();
        const bool number = input.readInteger().has_value();
        const auto id = number ? input.readInteger() : std::nullopt;
        const bool position = id && input.readReal() && input.readReal();
        const auto levelCount = position ? input.readInteger() : std::nullopt;
        if (!levelCount) {
            noteUnread(input, headerStart, walk);
            return;
        }
        walk.lastStationId = *id;
        const std::int64_t levels = *levelCount;
        const std::int64_t expected = levels > 0 ? levels * kRozeduGroupSize : 0;
        const std::int64_t converted = convertValues(input, expected, false);
        if (levels < 0) {
            walk.stationProblems.push_back(stationName(*id) + "negative level count " + std::to_string(levels));
        }
        if (converted < expected) {
            walk.stationProblems.push_back(stationName(*id) + std::to_string(levels) + " levels declared (" +
                                           std::to_string(expected) + " values), " + std::to_string(converted) +
                                           " converted");
        }
    }
}

void walkSurface(FormattedInput& input, Walk& walk) {
    input.readWord();
    input.readInteger();
    input.readWord();
    for (int i = 0; i < 4; ++i) {
        input.readInteger();
    }
    walk.declaredStations = input.readInteger().value_or(0);
    for (std::int64_t k = 0; k < walk.declaredStations; ++k) {
        if (input.atEnd()) {
            return;
        }
        const std::size_t stationStart = input.position();
        double values[kSurfaceValues] = {};
        int converted = 0;
        while (converted < kSurfaceValues) {
            const auto value = input.readReal();
            if (!value) {
                break;
            }
            values[converted++] = *value;
        }
        if (converted < kSurfaceValues) {
            noteUnread(input, stationStart, walk);
            return;
        }
        // Values 25 and 26 follow only when values 23 and 24 are 1 and 2.
        if (values[22] == 1.0 && values[23] == 2.0) {
            input.readReal();
            input.readReal();
        }
    }
    noteUnread(input, input.position(), walk);
}

// The token as a message shows it: at most 40 characters, bytes that are not
// printable ASCII (and the quote and backslash) written as \xNN, and "..."
// after a token that was cut, so that a binary or endless word stays one
// short line.
std::string quoted(std::string_view token) {
    constexpr std::size_t kShown = 40;
    std::string text(1, '"');
    for (std::size_t i = 0; i < token.size() && i < kShown; ++i) {
        const auto byte = static_cast<unsigned char>(token[i]);
        if (byte >= 0x20 && byte < 0x7f && byte != '"' && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            static constexpr char kHex[] = "0123456789abcdef";
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xf];
        }
    }
    if (token.size() > kShown) {
        text += "...";
    }
    text += '"';
    return text;
}

}  // namespace

std::vector<std::string> checkReading(std::string_view text, FileFormat format, const BlockView& view) {
    FormattedInput input(text);
    Walk walk;
    switch (format) {
        case FileFormat::Type5:
            walkType5(input, true, walk);
            break;
        case FileFormat::Type5Plain:
            walkType5(input, false, walk);
            break;
        case FileFormat::Rozedu:
            walkRozedu(input, walk);
            break;
        case FileFormat::Surface:
            walkSurface(input, walk);
            break;
    }
    std::vector<std::string> problems = walk.stationProblems;
    if (walk.declaredStations && *walk.declaredStations != static_cast<std::int64_t>(view.stationCount)) {
        problems.push_back("declares " + std::to_string(*walk.declaredStations) + " stations, " +
                           std::to_string(view.stationCount) + " read");
    }
    if (walk.unreadFrom) {
        std::string problem = "unread text";
        if (walk.lastStationId && format != FileFormat::Surface) {
            problem += " after station " + std::to_string(*walk.lastStationId);
        }
        problem += ", from line " + std::to_string(input.lineOf(*walk.unreadFrom)) + ": " +
                   quoted(input.tokenAt(*walk.unreadFrom, 41));
        problems.push_back(problem);
    }
    return problems;
}

}  // namespace vivezeru5::cli
