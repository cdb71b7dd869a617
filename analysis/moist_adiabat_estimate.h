// A first guess of where the moist-adiabat search will end, so that the
// search can evaluate the tries on the way there without waiting for each
// verdict in turn. The guess changes how fast the search is, never what it
// returns.
#pragma once

namespace vivezeru5 {

// Temperature (K) of the moist adiabat of equivalent potential temperature
// `thetaE` (K) where (1000/p)^0.286 is `exner`: the root of
// θE·exp(−2.6518986·ws(T, p)/T) = T·exner without any float rounding,
// interpolated bilinearly in a table over exner 0.97 to 3.75 (about 1100 to
// 10 hPa) and θE 200 to 440 K. Within 0.06 K of the search's result in
// nearly every search of a real sounding; inputs outside it are held at its edge, and an input that
// is not a number gives a number all the same.
double estimateMoistAdiabatKelvin(double exner, float thetaE);

}  // namespace vivezeru5
