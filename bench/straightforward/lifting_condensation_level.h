// The lifting condensation level of a parcel: the pressure at which, lifted
// dry-adiabatically with its mixing ratio kept, it becomes saturated.
#pragma once

namespace vivezeru5::straightforward {

// Temperature (°C), dew point (°C) and pressure (hPa) of the start level;
// the condensation pressure (hPa), found by at most ten updates.
float computeLclPressure(float temperature, float dewPoint, float pressure);

// The start level's dry adiabat at `lclPressure`, in °C.
float lclTemperatureAt(float lclPressure, float temperature, float pressure);

}  // namespace vivezeru5::straightforward
