// Numeric conventions shared by every analysis step. Arithmetic is carried out
// in double precision; a value is rounded to a 32-bit float exactly where it is
// stored or where the method names an intermediate, and nowhere else.
#pragma once

namespace vivezeru5 {

// Rounds a double-precision intermediate to the stored single precision.
inline float roundToFloat(double value) { return static_cast<float>(value); }

// Celsius to kelvin: 273.16 held as a 32-bit float (273.1600036621094).
inline constexpr float kKelvinOffset = 273.16f;

}  // namespace vivezeru5
