#include "station_rows.h"

#include <cmath>

#include "derived_values.h"
#include "value_text.h"
#include "vivezeru5/vivezeru5.h"

namespace vivezeru5::cli {
namespace {

constexpr int kFirstSurfaceValue = 5;
constexpr const char* kCommonColumns[] = {"file",      "format",   "time",      "station",    "sounding",
                                          "longitude", "latitude", "elevation", "level_count"};

// The fields of a station row before the value groups.
struct RowStart {
    float id;
    std::size_t position;  // the station's place in its file, from 0
    float longitude;
    float latitude;
    std::optional<float> elevation;     // none: the format carries no elevation
    std::optional<std::size_t> levels;  // none: surface report
};

std::optional<float> elevationOf(FileFormat format, float elevation) {
    if (format == FileFormat::Rozedu) {
        return std::nullopt;
    }
    return elevation;
}

RowStart soundingStart(const FileReading& reading, const SoundingStationView& station) {
    return {station.id, station.position, station.longitude, station.latitude,
            elevationOf(reading.format, station.elevation), station.levelCount};
}

RowStart surfaceStart(const SurfaceStationView& station) {
    return {station.values[0], station.position, station.values[1], station.values[2], station.values[3],
            std::nullopt};
}

std::string surfaceKey(int number) { return "value_" + std::to_string(number); }

// ---- CSV

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string csvStart(const FileReading& reading, const RowStart& start) {
    std::string line = csvField(reading.path) + "," + traitsOf(reading.format).optionName + "," +
                       isoTime(reading.view.time).value_or("") + "," + csvField(identifierText(start.id)) + "," +
                       std::to_string(start.position) + "," +
                       shortestText(start.longitude) + "," + shortestText(start.latitude) + ",";
    if (start.elevation) {
        line += shortestText(*start.elevation);
    }
    line += ",";
    if (start.levels) {
        line += std::to_string(*start.levels);
    }
    return line;
}

std::string csvDerived(const float* derived, const StationFlags* flags) {
    std::string cells;
    for (int slot = 0; slot < kDerivedCount; ++slot) {
        cells += ",";
        if (derived != nullptr) {
            cells += shortestText(derived[slot]) + "," + std::string(flagName((*flags)[slot]));
        } else {
            cells += ",";
        }
    }
    return cells;
}

std::string csvSurface(const float* values) {
    std::string cells;
    for (int number = kFirstSurfaceValue; number <= kSurfaceStride; ++number) {
        cells += ",";
        if (values != nullptr) {
            cells += shortestText(values[number - 1]);
        }
    }
    return cells;
}

// ---- JSON

std::string jsonString(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            case '\r':
                quoted += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    quoted += escaped;
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + "\"";
}

// A number, or null for the missing value and for what is no number.
std::string jsonValue(float value) {
    if (value == VIVEZERU5_MISSING || !std::isfinite(value)) {
        return "null";
    }
    return shortestText(value);
}

std::string jsonRaw(float value) { return std::isfinite(value) ? shortestText(value) : "null"; }

std::string jsonMember(std::string_view key, const std::string& value) { return jsonString(key) + ": " + value; }

std::string jsonStart(const FileReading& reading, const RowStart& start) {
    const auto time = isoTime(reading.view.time);
    std::string members = jsonMember("file", jsonString(reading.path)) + ", " +
                          jsonMember("format", jsonString(traitsOf(reading.format).optionName)) + ", " +
                          jsonMember("time", time ? jsonString(*time) : "null") + ", " +
                          jsonMember("station", std::isfinite(start.id) ? identifierText(start.id) : "null") + ", " +
                          jsonMember("sounding", std::to_string(start.position)) + ", " +
                          jsonMember("longitude", jsonValue(start.longitude)) + ", " +
                          jsonMember("latitude", jsonValue(start.latitude)) + ", " +
                          jsonMember("elevation", start.elevation ? jsonValue(*start.elevation) : "null");
    if (start.levels) {
        members += ", " + jsonMember("level_count", std::to_string(*start.levels));
    }
    return members;
}

std::string jsonDerived(const float* derived, const StationFlags& flags) {
    std::string members;
    for (int slot = 0; slot < kDerivedCount; ++slot) {
        const std::string key = kDerivedValueNames[slot].key;
        const QualityFlag flag = flags[slot];
        if (flag == kNoFlag) {
            members += ", " + jsonMember(key, jsonRaw(derived[slot])) + ", " + jsonMember(key + "_flag", "null");
        } else if (flagMeansNothing(flag)) {
            members += ", " + jsonMember(key, "null") + ", " + jsonMember(key + "_raw", jsonRaw(derived[slot])) +
                       ", " + jsonMember(key + "_flag", jsonString(flagName(flag)));
        } else {
            // A real value with a caveat: the number stays, the flag beside it.
            members += ", " + jsonMember(key, jsonRaw(derived[slot])) + ", " +
                       jsonMember(key + "_flag", jsonString(flagName(flag)));
        }
    }
    return members;
}

std::string jsonSurface(const float* values) {
    std::string members;
    for (int number = kFirstSurfaceValue; number <= kSurfaceStride; ++number) {
        members += ", " + jsonMember(surfaceKey(number), jsonValue(values[number - 1]));
    }
    return members;
}

std::string jsonLevels(const SoundingStationView& station) {
    std::string levels = "[";
    for (std::size_t i = 0; i < station.levelCount; ++i) {
        levels += i == 0 ? "\n    [" : ",\n    [";
        for (int j = 0; j < kLevelValues; ++j) {
            levels += j == 0 ? "" : ", ";
            levels += jsonValue(shownLevelValue(station.levels + i * kLevelValues, j));
        }
        levels += "]";
    }
    return levels + (station.levelCount > 0 ? "\n  ]" : "]");
}

// The members of every station object of a file, in file order.
std::vector<std::string> stationMembers(const FileReading& reading, bool withLevels) {
    std::vector<std::string> objects;
    for (std::size_t k = 0; k < reading.view.soundings.size(); ++k) {
        const SoundingStationView& station = reading.view.soundings[k];
        std::string members = jsonStart(reading, soundingStart(reading, station));
        if (station.derived != nullptr) {
            members += jsonDerived(station.derived, reading.flags[k]);
        }
        if (withLevels) {
            members += ",\n  " + jsonMember("levels", jsonLevels(station));
        }
        objects.push_back(members);
    }
    for (const SurfaceStationView& station : reading.view.surfaces) {
        objects.push_back(jsonStart(reading, surfaceStart(station)) + jsonSurface(station.values));
    }
    return objects;
}

}  // namespace

RowColumns columnsOf(FileFormat format) {
    return {traitsOf(format).analysed, format == FileFormat::Surface};
}

RowColumns everyColumn() { return {true, true}; }

std::string csvHeader(RowColumns columns) {
    std::string header;
    for (const char* column : kCommonColumns) {
        if (!header.empty()) {
            header += ',';
        }
        header += column;
    }
    if (columns.derived) {
        for (const auto& name : kDerivedValueNames) {
            header += ',';
            header += name.key;
            header += ',';
            header += name.key;
            header += "_flag";
        }
    }
    if (columns.surface) {
        for (int number = kFirstSurfaceValue; number <= kSurfaceStride; ++number) {
            header += ',';
            header += surfaceKey(number);
        }
    }
    return header + "\n";
}

std::string csvRows(const FileReading& reading, RowColumns columns) {
    std::string rows;
    for (std::size_t k = 0; k < reading.view.soundings.size(); ++k) {
        const SoundingStationView& station = reading.view.soundings[k];
        rows += csvStart(reading, soundingStart(reading, station));
        if (columns.derived) {
            rows += csvDerived(station.derived, station.derived != nullptr ? &reading.flags[k] : nullptr);
        }
        if (columns.surface) {
            rows += csvSurface(nullptr);
        }
        rows += "\n";
    }
    for (const SurfaceStationView& station : reading.view.surfaces) {
        rows += csvStart(reading, surfaceStart(station));
        if (columns.derived) {
            rows += csvDerived(nullptr, nullptr);
        }
        if (columns.surface) {
            rows += csvSurface(station.values);
        }
        rows += "\n";
    }
    return rows;
}

std::vector<std::string> jsonRows(const FileReading& reading) {
    std::vector<std::string> rows;
    for (const std::string& members : stationMembers(reading, false)) {
        rows.push_back("{" + members + "}");
    }
    return rows;
}

std::string jsonDocument(const FileReading& reading) {
    const auto time = isoTime(reading.view.time);
    std::string document(1, '{');
    document += jsonMember("file", jsonString(reading.path)) + ",\n " +
                jsonMember("format", jsonString(traitsOf(reading.format).optionName)) + ",\n " +
                jsonMember("time", time ? jsonString(*time) : "null") + ",\n " + jsonMember("problems", "[");
    for (std::size_t i = 0; i < reading.problems.size(); ++i) {
        document += i == 0 ? "" : ", ";
        document += jsonString(reading.path + ": " + reading.problems[i]);
    }
    document += "],\n " + jsonMember("stations", "[");
    const std::vector<std::string> stations = stationMembers(reading, true);
    for (std::size_t k = 0; k < stations.size(); ++k) {
        document += k == 0 ? "\n {" : ",\n {";
        document += stations[k];
        document += '}';
    }
    return document + (stations.empty() ? "]}\n" : "\n ]}\n");
}

}  // namespace vivezeru5::cli
