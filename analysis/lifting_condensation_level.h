// Lifting condensation level of the surface parcel.
#pragma once

#include "records/sounding_station.h"

namespace vivezeru5 {

// Pressure (hPa) at which a parcel with `temperature` and `dewPoint` (°C) at
// `pressure` (hPa), lifted dry-adiabatically (exponent 0.288) with its mixing
// ratio held, reaches saturation. The mixing ratio comes from the Goff–Gratch
// vapour pressure over water at the dew point. Starting from the parcel's own
// pressure, each step compares the dew point that belongs to the vapour
// pressure at the trial pressure with the dry-adiabatic temperature there and
// scales the trial pressure by 2^(0.02·difference); the trial is accepted once
// they differ by less than 0.5 K, and after ten updates in any case. Missing
// inputs are not tested and give a meaningless pressure.
float computeLclPressure(float temperature, float dewPoint, float pressure);

// Temperature (°C) at the LCL: the surface parcel's potential temperature
// (exponent 0.288) brought down to `lclPressure`.
float computeLclTemperature(float surfaceTemperature, float surfacePressure, float lclPressure);

}  // namespace vivezeru5
