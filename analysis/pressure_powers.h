// (1000 / p)^e, the pressure factor of potential temperatures, for the two
// exponents of the parcel analysis. Most pressures a station file gives, and
// every pressure the refinement scans try, are whole hPa; their factors are
// computed once per process, each with the same call as any other pressure.
#pragma once

namespace vivezeru5 {

// (1000 / p)^0.288, the factor of the potential temperatures of the energy terms.
double potentialTemperatureFactor(float pressure);

// (1000 / p)^0.286, the factor of the parcel's moist adiabat.
double moistAdiabatFactor(float pressure);

}  // namespace vivezeru5
