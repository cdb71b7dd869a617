"""Quality flags of a station's 19 derived values.

The readers return every derived value as the method computes it, also when the
value carries no meaning: an index built from a standard level the sounding does
not have, a 0 left where the analysis ended early, a CIN summed over the whole
sounding because no level of free convection exists. The flag of a value says
which of these applies, from the station's levels and its other derived values
alone; the values themselves are never changed here.

Each value gets at most one flag, the first that applies in FLAG_NAMES order.
"""
import math
from typing import List, Optional, Sequence

MISSING_LEVEL = "missing_level"
NOT_A_NUMBER = "nan"
NO_LFC = "no_lfc"
EL_NOT_FOUND = "el_not_found"
NOT_REACHED = "not_reached"
FLAG_NAMES = (MISSING_LEVEL, NOT_A_NUMBER, NO_LFC, EL_NOT_FOUND, NOT_REACHED)

FLAG_REASONS = {
    MISSING_LEVEL: "computed from a level value the sounding does not have (an 850, 700 or 500 hPa level "
    "absent or below the surface, or a value of -9999)",
    NOT_A_NUMBER: "not a number",
    NO_LFC: "no level of free convection: the negative area is summed over every level above the LCL",
    EL_NOT_FOUND: "energy accumulated but no equilibrium level was found (the scan in whole hPa, the top of "
    "the sounding or the 320 K limit left none)",
    NOT_REACHED: "0 because the analysis ended before this value",
}

_MISSING = -9999.0
_MISSING_HEIGHT = 9999.0
_PRESSURE, _HEIGHT, _TEMPERATURE, _DEWPOINT, _DIRECTION, _SPEED = range(6)

(
    _FREEZING_HEIGHT,
    _FREEZING_PRESSURE,
    _K_INDEX,
    _TOTAL_TOTALS,
    _SWEAT,
    _SHOWALTER,
    _LCL_PRESSURE,
    _LCL_TEMPERATURE,
    _LCL_HEIGHT,
    _MEAN_WIND_DIRECTION,
    _MEAN_WIND_SPEED,
    _LIFTED_INDEX,
    _LFC_PRESSURE,
    _LFC_TEMPERATURE,
    _LFC_HEIGHT,
    _EL_PRESSURE,
    _CAPE,
    _CIN,
    _BULK_RICHARDSON,
) = range(19)
_SURFACE_PARCEL_SLOTS = {_LCL_PRESSURE, _LCL_TEMPERATURE, _LCL_HEIGHT} | set(range(_LFC_PRESSURE, _BULK_RICHARDSON + 1))


class _Sounding:
    def __init__(self, levels: Sequence[Sequence[float]]):
        self.levels = levels
        # The last level above the surface at exactly each standard pressure: the
        # method takes the later of two equal levels, and never the surface itself.
        self._standard = {}
        for level in levels[1:]:
            if level[_PRESSURE] in (850, 700, 500):
                self._standard[level[_PRESSURE]] = level
        surface = levels[0]
        self.surface_missing = _MISSING in (surface[_PRESSURE], surface[_TEMPERATURE], surface[_DEWPOINT])
        # Every level enters the mean wind.
        self.mean_wind_missing = any(
            _MISSING in (level[_PRESSURE], level[_TEMPERATURE], level[_DIRECTION], level[_SPEED]) for level in levels
        )

    def missing_at(self, pressure: float, field: int) -> bool:
        level = self._standard.get(pressure)
        return level is None or level[field] == _MISSING


def _missing_height(height: float) -> bool:
    return height in (_MISSING_HEIGHT, _MISSING)


class _FreezingSearch:
    """How the method's freezing-level search ended."""

    def __init__(self, sounding: _Sounding):
        self.found = False
        self.missing_temperature = False  # the deciding level's temperature is -9999
        self.missing_height = False  # a height the freezing height is built from is missing
        levels = sounding.levels
        if len(levels) < 2:
            return
        surface_temperature = levels[0][_TEMPERATURE]
        if surface_temperature <= 0:  # the surface itself is the freezing level
            self._found(surface_temperature, [levels[0][_HEIGHT]])
            return
        for below, level in zip(levels, levels[1:]):
            if level[_TEMPERATURE] <= 0:
                self._found(level[_TEMPERATURE], [below[_HEIGHT], level[_HEIGHT]])
                return

    def _found(self, temperature: float, heights: List[float]):
        self.found = True
        self.missing_temperature = temperature == _MISSING
        self.missing_height = any(_missing_height(h) for h in heights)


def _missing_level(sounding: _Sounding, freezing: _FreezingSearch, slot: int) -> bool:
    missing = sounding.missing_at
    totals_inputs = missing(850, _TEMPERATURE) or missing(850, _DEWPOINT) or missing(500, _TEMPERATURE)
    if slot == _FREEZING_HEIGHT:
        return freezing.missing_temperature or freezing.missing_height
    if slot == _FREEZING_PRESSURE:
        return freezing.missing_temperature
    if slot == _K_INDEX:
        return totals_inputs or missing(700, _TEMPERATURE) or missing(700, _DEWPOINT)
    if slot in (_TOTAL_TOTALS, _SHOWALTER):
        return totals_inputs
    if slot == _SWEAT:
        return totals_inputs or any(
            missing(p, f) for p, f in ((850, _DIRECTION), (850, _SPEED), (500, _DIRECTION), (500, _SPEED))
        )
    if slot in (_MEAN_WIND_DIRECTION, _MEAN_WIND_SPEED):
        return sounding.mean_wind_missing
    if slot == _LIFTED_INDEX:
        return missing(500, _TEMPERATURE) or sounding.surface_missing
    return slot in _SURFACE_PARCEL_SLOTS and sounding.surface_missing


def _not_reached(sounding: _Sounding, freezing: _FreezingSearch, derived: Sequence[float], slot: int) -> bool:
    no_lfc = derived[_LFC_PRESSURE] < 1
    value = derived[slot]
    if slot in (_FREEZING_HEIGHT, _FREEZING_PRESSURE):
        return not freezing.found
    if slot in (_K_INDEX, _TOTAL_TOTALS, _SWEAT):
        return sounding.levels[0][_PRESSURE] <= 900  # computed only for a surface below 900 hPa
    if slot in (_LCL_HEIGHT, _EL_PRESSURE):
        return value == 0
    if slot in (_LFC_PRESSURE, _LFC_TEMPERATURE, _LFC_HEIGHT):
        return no_lfc
    if slot in (_CAPE, _CIN):
        return value == 0 and no_lfc
    if slot == _BULK_RICHARDSON:
        return value == 0 and (no_lfc or derived[_CAPE] <= 1 or derived[_MEAN_WIND_SPEED] == 0)
    return False


def station_flags(levels: Sequence[Sequence[float]], derived: Sequence[float]) -> List[Optional[str]]:
    """The flag of each of the 19 derived values (None for an unflagged value),
    from the station's level rows (pressure, height, temperature, dew point,
    wind direction, wind speed; the surface first) and its derived values, all
    as the block holds them."""
    if len(levels) == 0:
        return [NOT_REACHED] * len(derived)
    sounding = _Sounding(levels)
    freezing = _FreezingSearch(sounding)
    flags: List[Optional[str]] = []
    for slot, value in enumerate(derived):
        flag = None
        if _missing_level(sounding, freezing, slot):
            flag = MISSING_LEVEL
        elif math.isnan(value):
            flag = NOT_A_NUMBER
        elif slot == _CIN and derived[_LFC_PRESSURE] < 1 and value != 0:
            flag = NO_LFC
        elif slot == _CAPE and value != 0 and derived[_EL_PRESSURE] == 0:
            flag = EL_NOT_FOUND
        elif slot == _BULK_RICHARDSON and value != 0 and flags[_CAPE] == EL_NOT_FOUND:
            flag = EL_NOT_FOUND
        elif _not_reached(sounding, freezing, derived, slot):
            flag = NOT_REACHED
        flags.append(flag)
    return flags

