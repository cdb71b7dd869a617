// The 19 derived values of an analysed station, in slot order: how people
// read them and the key that tables and JSON give them.
#pragma once

#include "blocks.h"

namespace vivezeru5::cli {

struct DerivedValueName {
    const char* label;  // for people
    const char* unit;   // empty for a plain number
    const char* key;    // column and JSON key; ends in the unit
};

inline constexpr DerivedValueName kDerivedValueNames[kDerivedCount] = {
    {"freezing level height", "dam", "freezing_height_dam"},
    {"freezing level pressure", "hPa", "freezing_pressure_hpa"},
    {"K index", "°C", "k_index_c"},
    {"total totals", "°C", "total_totals_c"},
    {"SWEAT index", "", "sweat_index"},
    {"Showalter index", "K", "showalter_index_k"},
    {"LCL pressure", "hPa", "lcl_pressure_hpa"},
    {"LCL temperature", "°C", "lcl_temperature_c"},
    {"LCL height", "dam", "lcl_height_dam"},
    {"mean wind direction", "deg", "mean_wind_direction_deg"},
    {"mean wind speed", "m/s", "mean_wind_speed_ms"},
    {"surface lifted index", "K", "surface_lifted_index_k"},
    {"LFC pressure", "hPa", "lfc_pressure_hpa"},
    {"LFC temperature", "°C", "lfc_temperature_c"},
    {"LFC height", "dam", "lfc_height_dam"},
    {"equilibrium level pressure", "hPa", "el_pressure_hpa"},
    {"CAPE", "J/kg", "cape_jkg"},
    {"CIN", "J/kg", "cin_jkg"},
    {"bulk Richardson number", "", "bulk_richardson_number"},
};

}  // namespace vivezeru5::cli
