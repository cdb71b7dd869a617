#include "quality_flags.h"

#include <cmath>
#include <optional>

namespace vivezeru5::cli {
namespace {

constexpr float kMissing = -9999.0f;
constexpr float kMissingHeight = 9999.0f;

enum Field { kPressure, kHeight, kTemperature, kDewPoint, kDirection, kSpeed, kFieldCount };

// Slots of the derived values, counted from 0.
enum Slot {
    kFreezingHeight,
    kFreezingPressure,
    kKIndex,
    kTotalTotals,
    kSweat,
    kShowalter,
    kLclPressure,
    kLclTemperature,
    kLclHeight,
    kMeanWindDirection,
    kMeanWindSpeed,
    kLiftedIndex,
    kLfcPressure,
    kLfcTemperature,
    kLfcHeight,
    kElPressure,
    kCape,
    kCin,
    kBulkRichardson,
};

struct Sounding {
    const float* levels;
    std::size_t count;

    float at(std::size_t level, Field field) const { return levels[level * kFieldCount + field]; }

    // The last level above the surface at exactly `pressure`; the method takes
    // the later of two equal levels, and never the surface itself.
    std::optional<std::size_t> standardLevel(float pressure) const {
        std::optional<std::size_t> found;
        for (std::size_t i = 1; i < count; ++i) {
            if (at(i, kPressure) == pressure) {
                found = i;
            }
        }
        return found;
    }

    bool missingAt(float pressure, Field field) const {
        const auto level = standardLevel(pressure);
        return !level || at(*level, field) == kMissing;
    }

    bool surfaceMissing() const {
        return at(0, kPressure) == kMissing || at(0, kTemperature) == kMissing || at(0, kDewPoint) == kMissing;
    }

    bool anyLevelMissingForMeanWind() const {
        for (std::size_t i = 0; i < count; ++i) {
            for (const Field field : {kPressure, kTemperature, kDirection, kSpeed}) {
                if (at(i, field) == kMissing) {
                    return true;
                }
            }
        }
        return false;
    }
};

// How the freezing-level search of the method ended.
struct FreezingSearch {
    bool found = false;
    bool missingTemperature = false;  // the deciding level's temperature is -9999
    bool missingHeight = false;       // a height the freezing height is built from is missing
};

bool isMissingHeight(float height) { return height == kMissingHeight || height == kMissing; }

FreezingSearch searchFreezingLevel(const Sounding& sounding) {
    FreezingSearch search;
    if (sounding.count < 2) {
        return search;
    }
    const float surfaceTemperature = sounding.at(0, kTemperature);
    if (surfaceTemperature <= 0) {
        // The surface itself is the freezing level.
        search.found = true;
        search.missingTemperature = surfaceTemperature == kMissing;
        search.missingHeight = isMissingHeight(sounding.at(0, kHeight));
        return search;
    }
    for (std::size_t i = 1; i < sounding.count; ++i) {
        const float temperature = sounding.at(i, kTemperature);
        if (temperature <= 0) {
            search.found = true;
            search.missingTemperature = temperature == kMissing;
            search.missingHeight =
                isMissingHeight(sounding.at(i - 1, kHeight)) || isMissingHeight(sounding.at(i, kHeight));
            return search;
        }
    }
    return search;
}

// Slots whose formula takes the surface pressure, temperature and dew point.
bool usesSurfaceParcel(int slot) {
    return slot == kLclPressure || slot == kLclTemperature || slot == kLclHeight ||
           (slot >= kLfcPressure && slot <= kBulkRichardson);
}

bool missingLevel(const Sounding& sounding, const FreezingSearch& freezing, int slot) {
    const auto missing = [&](float pressure, Field field) { return sounding.missingAt(pressure, field); };
    const bool totalsInputs = missing(850, kTemperature) || missing(850, kDewPoint) || missing(500, kTemperature);
    switch (slot) {
        case kFreezingHeight:
            return freezing.missingTemperature || freezing.missingHeight;
        case kFreezingPressure:
            return freezing.missingTemperature;
        case kKIndex:
            return totalsInputs || missing(700, kTemperature) || missing(700, kDewPoint);
        case kTotalTotals:
        case kShowalter:
            return totalsInputs;
        case kSweat:
            return totalsInputs || missing(850, kDirection) || missing(850, kSpeed) || missing(500, kDirection) ||
                   missing(500, kSpeed);
        case kMeanWindDirection:
        case kMeanWindSpeed:
            return sounding.anyLevelMissingForMeanWind();
        case kLiftedIndex:
            return missing(500, kTemperature) || sounding.surfaceMissing();
        default:
            return usesSurfaceParcel(slot) && sounding.surfaceMissing();
    }
}

bool notReached(const Sounding& sounding, const FreezingSearch& freezing, const float* derived, int slot) {
    const bool noLfc = derived[kLfcPressure] < 1;
    const float value = derived[slot];
    switch (slot) {
        case kFreezingHeight:
        case kFreezingPressure:
            return !freezing.found;
        case kKIndex:
        case kTotalTotals:
        case kSweat:
            // The method computes them only for a surface below 900 hPa.
            return sounding.at(0, kPressure) <= 900;
        case kLclHeight:
        case kElPressure:
            return value == 0;
        case kLfcPressure:
        case kLfcTemperature:
        case kLfcHeight:
            return noLfc;
        case kCape:
        case kCin:
            return value == 0 && noLfc;
        case kBulkRichardson:
            return value == 0 && (noLfc || derived[kCape] <= 1 || derived[kMeanWindSpeed] == 0);
        default:
            return false;
    }
}

}  // namespace

std::string_view flagName(QualityFlag flag) {
    switch (flag) {
        case QualityFlag::None:
            return "";
        case QualityFlag::MissingLevel:
            return "missing_level";
        case QualityFlag::NotANumber:
            return "nan";
        case QualityFlag::NoLfc:
            return "no_lfc";
        case QualityFlag::ElNotFound:
            return "el_not_found";
        case QualityFlag::NotReached:
            return "not_reached";
    }
    return "";
}

std::string_view flagReason(QualityFlag flag) {
    switch (flag) {
        case QualityFlag::None:
            return "";
        case QualityFlag::MissingLevel:
            return "computed from a level value the sounding does not have (an 850, 700 or 500 hPa level "
                   "absent or below the surface, or a value of -9999)";
        case QualityFlag::NotANumber:
            return "not a number";
        case QualityFlag::NoLfc:
            return "no level of free convection: the negative area is summed over every level above the LCL";
        case QualityFlag::ElNotFound:
            return "energy accumulated but no equilibrium level was found (the scan in whole hPa, the top of "
                   "the sounding or the 320 K limit left none)";
        case QualityFlag::NotReached:
            return "0 because the analysis ended before this value";
    }
    return "";
}

StationFlags flagStation(const float* levels, std::size_t levelCount, const float* derived) {
    StationFlags flags{};
    if (levelCount == 0) {
        flags.fill(QualityFlag::NotReached);
        return flags;
    }
    const Sounding sounding{levels, levelCount};
    const FreezingSearch freezing = searchFreezingLevel(sounding);
    for (int slot = 0; slot < kFlaggedValueCount; ++slot) {
        const float value = derived[slot];
        QualityFlag flag = QualityFlag::None;
        if (missingLevel(sounding, freezing, slot)) {
            flag = QualityFlag::MissingLevel;
        } else if (std::isnan(value)) {
            flag = QualityFlag::NotANumber;
        } else if (slot == kCin && derived[kLfcPressure] < 1 && value != 0) {
            flag = QualityFlag::NoLfc;
        } else if (slot == kCape && value != 0 && derived[kElPressure] == 0) {
            flag = QualityFlag::ElNotFound;
        } else if (slot == kBulkRichardson && value != 0 && flags[kCape] == QualityFlag::ElNotFound) {
            flag = QualityFlag::ElNotFound;
        } else if (notReached(sounding, freezing, derived, slot)) {
            flag = QualityFlag::NotReached;
        }
        flags[slot] = flag;
    }
    return flags;
}

}  // namespace vivezeru5::cli
