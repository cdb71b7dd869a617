// Choosing one station of a file: by its id, by its place in the file (the
// sounding number, from 0), or both when an id occurs more than once (a
// file of several observation times of one station).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "file_reading.h"

namespace vivezeru5::cli {

struct StationChoice {
    std::optional<std::int64_t> id;
    std::optional<std::size_t> sounding;

    bool any() const { return id || sounding; }
};

// The values of --station (an integer id) and --sounding (a place from 0).
std::optional<std::int64_t> stationIdNamed(std::string_view text);
std::optional<std::size_t> soundingNumbered(std::string_view text);

// Keeps only the chosen station in `reading` (its view and its flags).
// Returns the message when the choice names no station, or an id that
// occurs more than once without a sounding number (listing the candidates).
std::optional<std::string> keepChosenStation(FileReading& reading, const StationChoice& choice);

}  // namespace vivezeru5::cli
