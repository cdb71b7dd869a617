#include "records/outcome_texts.h"

namespace vivezeru5 {
namespace {

struct OutcomeText {
    DerivedOutcome outcome;
    const char* flag;
    const char* reason;
    bool meaningless;
};

constexpr OutcomeText kTexts[] = {
    {DerivedOutcome::Computed, "", "", false},
    {DerivedOutcome::MissingLevel, "missing_level",
     "computed from a level value the sounding does not have (an 850, 700 or 500 hPa level absent or below "
     "the surface, or a value of -9999)",
     true},
    {DerivedOutcome::NotANumber, "nan", "not a number", true},
    {DerivedOutcome::NotReached, "not_reached", "0 because the analysis ended before this value", true},
    {DerivedOutcome::WholeSoundingCin, "no_lfc",
     "no level of free convection: the negative area is summed over every level above the LCL", false},
    {DerivedOutcome::NoEquilibriumLevel, "el_not_found",
     "energy accumulated but no equilibrium level was found (the scan in whole hPa, the top of the sounding or "
     "the 320 K limit left none)",
     false},
    {DerivedOutcome::ParcelDisagrees, "parcel_disagrees",
     "the method's one-step index has the other sign than its parcel lifted along the moist adiabat to 500 hPa",
     false},
};

const OutcomeText& textOf(DerivedOutcome outcome) {
    for (const OutcomeText& text : kTexts) {
        if (text.outcome == outcome) {
            return text;
        }
    }
    return kTexts[0];
}

}  // namespace

const char* outcomeFlag(DerivedOutcome outcome) { return textOf(outcome).flag; }

const char* outcomeReason(DerivedOutcome outcome) { return textOf(outcome).reason; }

bool outcomeMeaningless(DerivedOutcome outcome) { return textOf(outcome).meaningless; }

}  // namespace vivezeru5
