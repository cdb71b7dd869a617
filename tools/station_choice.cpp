#include "station_choice.h"

#include <charconv>
#include <vector>

namespace vivezeru5::cli {
namespace {

// The ids and places of the file's stations, sounding or surface.
struct Candidate {
    std::size_t index;     // in the view
    std::size_t position;  // in the file
    float id;
};

std::vector<Candidate> candidatesOf(const FileReading& reading) {
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < reading.view.soundings.size(); ++i) {
        candidates.push_back({i, reading.view.soundings[i].position, reading.view.soundings[i].id});
    }
    for (std::size_t i = 0; i < reading.view.surfaces.size(); ++i) {
        candidates.push_back({i, reading.view.surfaces[i].position, reading.view.surfaces[i].values[0]});
    }
    return candidates;
}

bool matches(const Candidate& candidate, const StationChoice& choice) {
    return (!choice.id || static_cast<double>(candidate.id) == static_cast<double>(*choice.id)) &&
           (!choice.sounding || candidate.position == *choice.sounding);
}

std::string listed(const std::vector<Candidate>& candidates) {
    std::string text;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == candidates.size() ? " and " : ", ") + std::to_string(candidates[i].position);
    }
    return text;
}

std::string describe(const StationChoice& choice) {
    std::string text;
    if (choice.id) {
        text = "station " + std::to_string(*choice.id);
    }
    if (choice.sounding) {
        text += (text.empty() ? "sounding " : " at sounding ") + std::to_string(*choice.sounding);
    }
    return text;
}

template <typename Items>
void keepOnly(Items& items, std::size_t index) {
    if (index < items.size()) {
        auto kept = items[index];
        items.assign(1, kept);
    } else {
        items.clear();
    }
}

// The whole of `text` as a number of type T.
template <typename T>
std::optional<T> wholeNumber(std::string_view text) {
    T value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::int64_t> stationIdNamed(std::string_view text) { return wholeNumber<std::int64_t>(text); }

std::optional<std::size_t> soundingNumbered(std::string_view text) { return wholeNumber<std::size_t>(text); }

std::optional<std::string> keepChosenStation(FileReading& reading, const StationChoice& choice) {
    std::vector<Candidate> found;
    for (const Candidate& candidate : candidatesOf(reading)) {
        if (matches(candidate, choice)) {
            found.push_back(candidate);
        }
    }
    if (found.empty()) {
        const std::size_t count = candidatesOf(reading).size();
        return "no " + describe(choice) + " in the file" +
               (count == 0 ? std::string(", which holds no station")
                           : ", whose soundings are 0 to " + std::to_string(count - 1));
    }
    if (found.size() > 1) {
        return describe(choice) + " occurs " + std::to_string(found.size()) + " times, as soundings " +
               listed(found) + "; choose one with --sounding N";
    }
    const bool sounding = !reading.view.soundings.empty();
    if (sounding) {
        keepOnly(reading.view.soundings, found.front().index);
        keepOnly(reading.flags, found.front().index);
    } else {
        keepOnly(reading.view.surfaces, found.front().index);
    }
    return std::nullopt;
}

}  // namespace vivezeru5::cli
