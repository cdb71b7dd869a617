// What the analysis reached for each derived value, case by case on one
// sounding: each row changes some levels and lists the flags a reader of the
// table must see (slots numbered 1 to 19, as in the README); the slots not
// listed carry no flag unless the row says it checks only those listed.
#include <map>
#include <string>
#include <vector>

#include "analysis/analyse_station.h"
#include "records/outcome_texts.h"
#include "test_support.h"

namespace vivezeru5 {
namespace {

using testing::OwnedStation;

struct LevelEdit {
    std::size_t level;
    float SoundingLevel::*field;
    float value;
};

struct OutcomeCase {
    const char* name;
    std::vector<float> droppedPressures;  // levels removed, by pressure
    std::vector<LevelEdit> edits;         // applied after the removals
    std::map<int, std::string> expected;  // slot -> flag
    bool onlyListed;                      // the other slots are not checked
};

// The worked convective sounding (LFC near 810 hPa, EL near 214 hPa, CAPE
// about 1300 J/kg), with dew points 8 K below the temperature and westerly
// winds strengthening upward.
std::vector<SoundingLevel> workedSounding() {
    const float rows[][3] = {{1000, 10, 28.0f},  {950, 54, 24.5f},   {925, 77, 22.8f},   {900, 100, 21.0f},
                             {850, 149, 18.2f},  {800, 200, 15.0f},  {700, 312, 8.0f},   {600, 440, 0.0f},
                             {500, 587, -8.5f},  {400, 757, -19.0f}, {300, 965, -33.0f}, {250, 1090, -42.0f},
                             {200, 1240, -52.5f}, {150, 1425, -60.0f}, {100, 1660, -66.0f}};
    std::vector<SoundingLevel> levels;
    float speed = 5;
    for (const auto& row : rows) {
        levels.push_back(SoundingLevel{row[0], row[1], row[2], row[2] - 8, 250, speed});
        speed += 2;
    }
    return levels;
}

// The stable sounding of the parcel-energy tests, dew points 12 K below.
std::vector<SoundingLevel> stableSounding() {
    const float rows[][3] = {{1000, 10, 20.0f}, {950, 54, 17.5f},  {925, 76, 16.5f},  {900, 99, 16.0f},
                             {850, 147, 15.0f}, {800, 198, 12.0f}, {700, 310, 5.0f},  {600, 440, -2.0f},
                             {500, 588, -10.0f}, {400, 760, -20.0f}, {300, 968, -33.0f}, {200, 1244, -52.0f},
                             {100, 1664, -62.0f}};
    std::vector<SoundingLevel> levels;
    for (const auto& row : rows) {
        levels.push_back(SoundingLevel{row[0], row[1], row[2], row[2] - 12, 270, 10});
    }
    return levels;
}

constexpr float kMissing = kMissingValue;
const char* const kMl = "missing_level";
const char* const kNr = "not_reached";

std::map<int, std::string> parcelSlots(const std::string& flag) {
    std::map<int, std::string> flags;
    for (const int slot : {7, 8, 9, 13, 14, 15, 16, 17, 18, 19}) {
        flags[slot] = flag;
    }
    return flags;
}

std::map<int, std::string> with(std::map<int, std::string> flags, const std::map<int, std::string>& more) {
    flags.insert(more.begin(), more.end());
    return flags;
}

const OutcomeCase kCases[] = {
    // No 500 hPa level: every index built from T500 is missing_level.
    {"no_500", {500}, {}, {{3, kMl}, {4, kMl}, {5, kMl}, {6, kMl}, {12, kMl}}, true},
    // No 700 hPa level: only the K index uses it.
    {"no_700", {700}, {}, {{3, kMl}}, true},
    // A surface at 900 hPa: K, total totals and SWEAT are not formed, 850 hPa is there.
    {"surface_at_900_hpa", {1000, 950, 925}, {}, {{3, kNr}, {4, kNr}, {5, kNr}}, true},
    // The 850 hPa dew point missing: K, total totals, SWEAT and Showalter.
    {"dew_point_850_missing", {}, {{4, &SoundingLevel::dewPoint, kMissing}},
     {{3, kMl}, {4, kMl}, {5, kMl}, {6, kMl}}, true},
    // A wind speed missing off the standard levels: the mean wind only.
    {"wind_speed_missing_at_925", {}, {{2, &SoundingLevel::windSpeed, kMissing}}, {{10, kMl}, {11, kMl}}, true},
    // The 500 hPa wind direction missing: SWEAT and the mean wind.
    {"wind_direction_500_missing", {}, {{8, &SoundingLevel::windDirection, kMissing}},
     {{5, kMl}, {10, kMl}, {11, kMl}}, true},
    // The surface temperature missing: the freezing level (the surface counts as
    // at or below 0 °C), the mean wind, the lifted index and every parcel value.
    {"surface_temperature_missing", {}, {{0, &SoundingLevel::temperature, kMissing}},
     with(parcelSlots(kMl), {{1, kMl}, {2, kMl}, {10, kMl}, {11, kMl}, {12, kMl}}), true},
    // The surface dew point missing: the parcel values and the lifted index.
    {"surface_dew_point_missing", {}, {{0, &SoundingLevel::dewPoint, kMissing}},
     with(parcelSlots(kMl), {{12, kMl}}), true},
    // A missing height below the level that ends the freezing search: the height only.
    {"freezing_height_from_a_missing_height", {}, {{6, &SoundingLevel::height, 9999}}, {{1, kMl}}, true},
    // Never at or below 0 °C: no freezing level.
    {"never_below_freezing", {}, {{7, &SoundingLevel::temperature, 2}, {8, &SoundingLevel::temperature, 1},
                                  {9, &SoundingLevel::temperature, 1}, {10, &SoundingLevel::temperature, 1},
                                  {11, &SoundingLevel::temperature, 1}, {12, &SoundingLevel::temperature, 1},
                                  {13, &SoundingLevel::temperature, 1}, {14, &SoundingLevel::temperature, 1}},
     {{1, kNr}, {2, kNr}}, true},
    // The sounding ends at 400 hPa while the parcel is still warmer: CAPE
    // without an EL, and the bulk Richardson number formed from it.
    {"cape_without_el", {300, 250, 200, 150, 100}, {},
     {{16, kNr}, {17, "el_not_found"}, {19, "el_not_found"}}, true},
    // The worked sounding itself. By hand: the one-step lifted index is +15.93 K,
    // but the surface parcel lifted along its moist adiabat reaches -4.50 °C at
    // 500 hPa, 4.0 K warmer than the environment (-8.5 °C). The Showalter index
    // (+12.10 K) agrees with its 850 hPa parcel, which reaches -9.42 °C.
    {"one_step_lifted_index_against_the_parcel", {}, {}, {{12, "parcel_disagrees"}}, false},
};

void PrintTo(const OutcomeCase& c, std::ostream* out) { *out << c.name; }

std::vector<SoundingLevel> edited(std::vector<SoundingLevel> levels, const OutcomeCase& c) {
    std::erase_if(levels, [&](const SoundingLevel& level) {
        for (const float pressure : c.droppedPressures) {
            if (level.pressure == pressure) {
                return true;
            }
        }
        return false;
    });
    for (const LevelEdit& edit : c.edits) {
        levels[edit.level].*edit.field = edit.value;
    }
    return levels;
}

StationOutcomes outcomesOf(const std::vector<SoundingLevel>& levels) {
    OwnedStation station(levels);
    StationOutcomes outcomes;
    analyseStation(*station, ProgressSink{}, &outcomes);
    return outcomes;
}

class DerivedOutcomes : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(DerivedOutcomes, FlagsWhatAReaderMustKnow) {
    const OutcomeCase& c = GetParam();
    const StationOutcomes outcomes = outcomesOf(edited(workedSounding(), c));
    for (int slot = 1; slot <= kDerivedValues; ++slot) {
        const auto listed = c.expected.find(slot);
        if (listed == c.expected.end() && c.onlyListed) {
            continue;
        }
        const std::string expected = listed != c.expected.end() ? listed->second : "";
        EXPECT_EQ(outcomeFlag(outcomes[static_cast<std::size_t>(slot - 1)]), expected) << "slot " << slot;
    }
}

INSTANTIATE_TEST_SUITE_P(Stations, DerivedOutcomes, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

// Without an LFC, CAPE 0 is the answer; CIN is the whole sounding's negative
// area, the LFC, the EL and the bulk Richardson number are not reached.
TEST(DerivedOutcomes, StableSoundingHasCapeZeroAsAValue) {
    const StationOutcomes outcomes = outcomesOf(stableSounding());
    const std::map<int, std::string> expected = {
        {13, kNr}, {14, kNr}, {15, kNr}, {16, kNr}, {17, ""}, {18, "no_lfc"}, {19, kNr}};
    for (const auto& [slot, flag] : expected) {
        EXPECT_EQ(outcomeFlag(outcomes[static_cast<std::size_t>(slot - 1)]), flag) << "slot " << slot;
    }
}

// A single level: no freezing level, no LCL height, no level above the LCL.
TEST(DerivedOutcomes, SingleLevel) {
    const StationOutcomes outcomes = outcomesOf({SoundingLevel{1000, 10, 20, 12, 250, 5}});
    const std::map<int, std::string> expected = {{1, kNr}, {2, kNr}, {9, kNr}, {13, kNr}, {16, kNr},
                                                 {17, ""},  {18, kNr}, {19, kNr}};
    for (const auto& [slot, flag] : expected) {
        EXPECT_EQ(outcomeFlag(outcomes[static_cast<std::size_t>(slot - 1)]), flag) << "slot " << slot;
    }
}

// The consequence of each flag.
TEST(DerivedOutcomes, FlagsThatMeanNothing) {
    const std::map<DerivedOutcome, bool> meaningless = {
        {DerivedOutcome::Computed, false},        {DerivedOutcome::MissingLevel, true},
        {DerivedOutcome::NotANumber, true},       {DerivedOutcome::NotReached, true},
        {DerivedOutcome::WholeSoundingCin, false}, {DerivedOutcome::NoEquilibriumLevel, false},
        {DerivedOutcome::ParcelDisagrees, false}};
    for (const auto& [outcome, nothing] : meaningless) {
        EXPECT_EQ(outcomeMeaningless(outcome), nothing) << outcomeFlag(outcome);
    }
}

}  // namespace
}  // namespace vivezeru5
