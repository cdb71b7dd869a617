// How the analysis computes: in double precision on the stored 32-bit
// values, rounding to a 32-bit float wherever the method rounds.
#pragma once

namespace vivezeru5::straightforward {

// `x` rounded to the nearest float, and carried on as a double.
inline double single(double x) { return static_cast<float>(x); }

// °C to kelvin: 273.16 held as a float (273.1600036621094).
inline constexpr double kKelvinOffset = 273.16f;

}  // namespace vivezeru5::straightforward
