// Parcel indices at 500 hPa: the surface lifted index and the Showalter index,
// and the Magnus saturation vapour pressure they rest on.
#pragma once

namespace vivezeru5 {

// Magnus-form saturation vapour pressure, hPa: 6.11 · 10^(a·t / (t + b)).
// The argument is kelvin when above 120, otherwise °C (so 120 itself is °C).
// Over water (a = 7.63, b = 241.9) at 263 K and above, over ice (a = 9.5,
// b = 265.5) below.
float saturationVaporPressure(float temperature);

// Environment minus parcel temperature at 500 hPa (K) for a parcel starting
// at `pressure` (hPa) with `dewPoint` and `temperature` (°C), against the
// 500 hPa environment temperature `t500` (°C). Below its condensation level
// the parcel follows the dry adiabat (exponent 0.286); above it one linear
// lapse rate, set by the parcel's moisture at the condensation level, carries
// it to 500 hPa in a single step — which leaves the parcel warmer-looking
// (more stable) than a stepwise moist ascent would. Returns 0 when the
// saturation mixing ratio is 0, the temperature is absolute zero, the
// pressure is 0, or the vapour term is not positive (a missing dew point).
float computeLiftedIndex(float dewPoint, float temperature, float pressure, float t500);

// The same difference for the 850 hPa parcel, with no guards: missing inputs
// give a meaningless number that is stored all the same.
float computeShowalter(float dewPoint, float temperature, float pressure, float t500);

}  // namespace vivezeru5
