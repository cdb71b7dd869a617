// The two parcel indices: the environment's temperature at 500 hPa minus
// that of a parcel lifted there, from the surface (lifted index) or from
// 850 hPa (Showalter index).
#pragma once

namespace vivezeru5::straightforward {

// Saturation vapour pressure (hPa), Magnus form, over water from 263 K and
// over ice below. The argument is in kelvin when above 120, else in °C.
float saturationVaporPressure(float temperature);

// Dew point, temperature (°C) and pressure (hPa) of the parcel's start
// level, and the 500 hPa environment temperature (°C). 0 when the parcel has
// no saturation mixing ratio, no temperature, no pressure or no vapour.
float computeLiftedIndex(float dewPoint, float temperature, float pressure, float t500);

// The same parcel, without any test.
float computeShowalter(float dewPoint, float temperature, float pressure, float t500);

}  // namespace vivezeru5::straightforward
