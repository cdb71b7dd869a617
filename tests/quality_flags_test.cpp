// Quality flags of the derived values, case by case on one small sounding:
// each row changes some levels or derived values and lists the flags that a
// reader of the table must see (slots numbered 1 to 19, as in the README).
#include <array>
#include <cmath>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "quality_flags.h"

namespace vivezeru5::cli {
namespace {

using Level = std::array<float, 6>;  // pressure, height, temperature, dew point, direction, speed

constexpr float kMissing = -9999.0f;
const float kNan = std::nanf("");

struct LevelEdit {
    std::size_t level;
    int field;  // 0 pressure ... 5 speed
    float value;
};

struct SlotValue {
    int slot;  // 1 to 19
    float value;
};

struct FlagCase {
    const char* name;
    std::vector<float> droppedPressures;  // levels removed, by pressure
    std::vector<LevelEdit> levelEdits;    // applied after the removals
    std::vector<Level> addedLevels;       // appended at the top
    std::vector<SlotValue> derivedEdits;
    std::map<int, std::string> expected;  // slot -> flag; every other slot unflagged
};

// Surface at 1000 hPa and 25 °C, standard levels complete, freezing between
// 700 and 500 hPa; a convective set of derived values with LFC and EL.
const std::vector<Level> kSounding = {
    {1000, 10, 25, 18, 180, 5},   {850, 150, 16, 12, 210, 10}, {700, 310, 6, 0, 240, 15},
    {500, 580, -10, -25, 260, 22}, {300, 960, -38, -50, 270, 30},
};
const std::array<float, 19> kDerived = {450, 600, 30, 50, 300, 2, 900, 15, 100, 250,
                                        10,  3,   800, 12, 200, 250, 1500, -20, 40};

std::map<int, std::string> every(const std::string& flag) {
    std::map<int, std::string> flags;
    for (int slot = 1; slot <= 19; ++slot) {
        flags[slot] = flag;
    }
    return flags;
}

const FlagCase kCases[] = {
    {"complete_sounding", {}, {}, {}, {}, {}},
    {"no_levels", {1000, 850, 700, 500, 300}, {}, {}, {}, every("not_reached")},
    {"one_level", {850, 700, 500, 300}, {}, {}, {{1, 0}, {2, 0}},
     {{1, "not_reached"}, {2, "not_reached"}, {3, "missing_level"}, {4, "missing_level"}, {5, "missing_level"},
      {6, "missing_level"}, {12, "missing_level"}}},
    {"no_500", {500}, {}, {}, {},
     {{3, "missing_level"}, {4, "missing_level"}, {5, "missing_level"}, {6, "missing_level"},
      {12, "missing_level"}}},
    {"no_700", {700}, {}, {}, {}, {{3, "missing_level"}}},
    {"850_only_at_the_surface", {850}, {{0, 0, 850}}, {}, {{3, 0}, {4, 0}, {5, 0}},
     {{3, "missing_level"}, {4, "missing_level"}, {5, "missing_level"}, {6, "missing_level"}}},
    {"surface_at_900_hpa", {}, {{0, 0, 900}, {1, 0, 850}}, {}, {{3, 0}, {4, 0}, {5, 0}},
     {{3, "not_reached"}, {4, "not_reached"}, {5, "not_reached"}}},
    {"dew_point_850_missing", {}, {{1, 3, kMissing}}, {}, {},
     {{3, "missing_level"}, {4, "missing_level"}, {5, "missing_level"}, {6, "missing_level"}}},
    {"wind_direction_500_missing", {}, {{3, 4, kMissing}}, {}, {},
     {{5, "missing_level"}, {10, "missing_level"}, {11, "missing_level"}}},
    {"wind_speed_missing_off_the_standard_levels", {}, {{4, 5, kMissing}}, {}, {},
     {{10, "missing_level"}, {11, "missing_level"}}},
    {"later_of_two_500_levels_missing", {}, {}, {{500, 590, kMissing, kMissing, 250, 20}}, {},
     {{3, "missing_level"}, {4, "missing_level"}, {5, "missing_level"}, {6, "missing_level"},
      {10, "missing_level"}, {11, "missing_level"}, {12, "missing_level"}}},
    {"showalter_nan", {}, {}, {}, {{6, kNan}}, {{6, "nan"}}},
    {"showalter_nan_without_500", {500}, {}, {}, {{6, kNan}},
     {{3, "missing_level"}, {4, "missing_level"}, {5, "missing_level"}, {6, "missing_level"},
      {12, "missing_level"}}},
    {"no_lfc", {}, {}, {}, {{13, 0}, {14, 0}, {15, 0}, {16, 0}, {17, 0}, {18, -500}, {19, 0}},
     {{13, "not_reached"}, {14, "not_reached"}, {15, "not_reached"}, {16, "not_reached"}, {17, "not_reached"},
      {18, "no_lfc"}, {19, "not_reached"}}},
    {"no_lfc_and_no_negative_area", {}, {}, {}, {{13, 0}, {14, 0}, {15, 0}, {16, 0}, {17, 0}, {18, 0}, {19, 0}},
     {{13, "not_reached"}, {14, "not_reached"}, {15, "not_reached"}, {16, "not_reached"}, {17, "not_reached"},
      {18, "not_reached"}, {19, "not_reached"}}},
    {"lfc_below_1_hpa", {}, {}, {}, {{13, 0.5f}},
     {{13, "not_reached"}, {14, "not_reached"}, {15, "not_reached"}, {18, "no_lfc"}}},
    {"cape_without_el", {}, {}, {}, {{16, 0}},
     {{16, "not_reached"}, {17, "el_not_found"}, {19, "el_not_found"}}},
    {"cape_without_el_and_richardson_0", {}, {}, {}, {{16, 0}, {19, 0}},
     {{16, "not_reached"}, {17, "el_not_found"}}},
    {"richardson_0_with_cape_below_1", {}, {}, {}, {{17, 0.5f}, {19, 0}}, {{19, "not_reached"}}},
    {"richardson_0_with_calm_mean_wind", {}, {}, {}, {{10, 0}, {11, 0}, {19, 0}}, {{19, "not_reached"}}},
    {"lcl_height_0", {}, {}, {}, {{9, 0}}, {{9, "not_reached"}}},
    {"surface_below_freezing", {}, {{0, 2, -5}, {0, 3, -8}}, {}, {{1, 1}, {2, 1000}}, {}},
    {"surface_temperature_missing", {}, {{0, 2, kMissing}}, {}, {},
     {{1, "missing_level"}, {2, "missing_level"}, {7, "missing_level"}, {8, "missing_level"},
      {9, "missing_level"}, {10, "missing_level"}, {11, "missing_level"}, {12, "missing_level"},
      {13, "missing_level"}, {14, "missing_level"}, {15, "missing_level"}, {16, "missing_level"},
      {17, "missing_level"}, {18, "missing_level"}, {19, "missing_level"}}},
    {"freezing_search_ends_on_a_missing_temperature", {}, {{2, 2, kMissing}}, {}, {},
     {{1, "missing_level"}, {2, "missing_level"}, {3, "missing_level"}, {10, "missing_level"},
      {11, "missing_level"}}},
    {"freezing_height_from_a_missing_height", {}, {{2, 1, 9999}}, {}, {}, {{1, "missing_level"}}},
    {"never_below_freezing", {}, {{3, 2, 5}, {4, 2, 2}}, {}, {{1, 0}, {2, 0}},
     {{1, "not_reached"}, {2, "not_reached"}}},
};

void PrintTo(const FlagCase& flagCase, std::ostream* out) { *out << flagCase.name; }

class QualityFlagsTest : public testing::TestWithParam<FlagCase> {};

TEST_P(QualityFlagsTest, FlagsWhatAReaderMustKnow) {
    const FlagCase& flagCase = GetParam();
    std::vector<Level> levels;
    for (const Level& level : kSounding) {
        bool dropped = false;
        for (const float pressure : flagCase.droppedPressures) {
            dropped = dropped || level[0] == pressure;
        }
        if (!dropped) {
            levels.push_back(level);
        }
    }
    for (const LevelEdit& edit : flagCase.levelEdits) {
        levels.at(edit.level)[static_cast<std::size_t>(edit.field)] = edit.value;
    }
    levels.insert(levels.end(), flagCase.addedLevels.begin(), flagCase.addedLevels.end());
    std::array<float, 19> derived = kDerived;
    for (const SlotValue& edit : flagCase.derivedEdits) {
        derived.at(static_cast<std::size_t>(edit.slot - 1)) = edit.value;
    }

    const StationFlags flags = flagStation(levels.empty() ? nullptr : levels.front().data(), levels.size(),
                                           derived.data());
    for (int slot = 1; slot <= 19; ++slot) {
        const auto expected = flagCase.expected.find(slot);
        EXPECT_EQ(flagName(flags[static_cast<std::size_t>(slot - 1)]),
                  expected == flagCase.expected.end() ? "" : expected->second)
            << "slot " << slot;
    }
}

INSTANTIATE_TEST_SUITE_P(Stations, QualityFlagsTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<FlagCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace vivezeru5::cli
