// The energy of the lifted surface parcel: the condensation level's height,
// the level of free convection, the equilibrium level, the negative energy
// below the LFC (CIN), the positive energy above it (CAPE) and the bulk
// Richardson number.
#pragma once

#include <string>

#include "straightforward/records.h"

namespace vivezeru5::straightforward {

// Progress lines, one when an LFC is found and one when the positive area is
// done.
inline constexpr char kLfcProgressLine[] = "New Method ... NegEngBLFC end\n";
inline constexpr char kElProgressLine[] = "New Method ... EL end\n";

// Needs the station's lclPressure, lclTemperature, meanWindU and meanWindV.
// Writes lclHeight, the LFC, elPressure, cape, cin and bulkRichardson where
// the parcel reaches them, and appends the progress lines to `progress`
// (when not null).
void computeParcelEnergy(SoundingStation& station, std::string* progress);

}  // namespace vivezeru5::straightforward
