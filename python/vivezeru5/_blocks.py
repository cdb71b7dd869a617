"""The Python view of the readers' blocks (layouts in vivezeru5/vivezeru5.h)."""
import datetime
import functools
import math
import struct
from array import array
from dataclasses import dataclass, field
from typing import Any, Dict, List, Optional, Tuple

from . import _flags

try:
    import numpy as _numpy
except ImportError:  # the package works without numpy, with lists
    _numpy = None

MISSING = -9999.0

LEVEL_COLUMNS = (
    "pressure_hpa",
    "height_dam",
    "temperature_c",
    "dewpoint_c",
    "wind_direction_deg",
    "wind_speed_ms",
)

# The 19 derived values of the analysing readers, in slot order, with units.
_DERIVED = (
    ("freezing_height_dam", "dam"),
    ("freezing_pressure_hpa", "hPa"),
    ("k_index_c", "°C"),
    ("total_totals_c", "°C"),
    ("sweat_index", ""),
    ("showalter_index_k", "K"),
    ("lcl_pressure_hpa", "hPa"),
    ("lcl_temperature_c", "°C"),
    ("lcl_height_dam", "dam"),
    ("mean_wind_direction_deg", "deg"),
    ("mean_wind_speed_ms", "m/s"),
    ("surface_lifted_index_k", "K"),
    ("lfc_pressure_hpa", "hPa"),
    ("lfc_temperature_c", "°C"),
    ("lfc_height_dam", "dam"),
    ("el_pressure_hpa", "hPa"),
    ("cape_jkg", "J/kg"),
    ("cin_jkg", "J/kg"),
    ("bulk_richardson_number", ""),
)
DERIVED_NAMES = tuple(name for name, _ in _DERIVED)
DERIVED_UNITS = dict(_DERIVED)

_LEVEL_WIDTH = len(LEVEL_COLUMNS)
_DERIVED_COUNT = len(_DERIVED)
_SURFACE_STRIDE = 26


@dataclass(frozen=True)
class ObservationTime:
    """Date and hour as the block carries them (a type-5 year below 100 has 2000 added)."""

    year: int
    month: int
    day: int
    hour: int

    def to_datetime(self) -> datetime.datetime:
        """The time as a naive datetime; ValueError when the fields are not a valid date."""
        return datetime.datetime(self.year, self.month, self.day, self.hour)


@dataclass(frozen=True)
class SoundingStation:
    id: Any  # int when the file's id is a whole number
    lon: float
    lat: float
    elevation: Optional[float]  # None when the format carries none (characteristic-level)
    levels: Any  # numpy (n, 6) float32 array, or list of 6-tuples; columns LEVEL_COLUMNS
    derived: Optional[Dict[str, float]]  # DERIVED_NAMES -> value; None when not analysed
    # DERIVED_NAMES -> flag name (FLAG_NAMES) or None; None when not analysed
    flags: Optional[Dict[str, Optional[str]]] = None

    @property
    def level_count(self) -> int:
        return len(self.levels)


@dataclass(frozen=True)
class Sounding:
    time: Optional[ObservationTime]  # None for characteristic-level files
    stations: List[SoundingStation]
    analysed: bool
    format: Optional[str] = None  # type5, type5-plain or rozedu
    source: Optional[str] = None  # the file read, as given
    problems: List[str] = field(default_factory=list)  # what the file declares but the reader did not get

    def to_dataframe(self):
        """One row per station (pandas): file, format, time, station_id, lon,
        lat, elevation, level_count, then the 19 derived values and, after
        them, one `<name>_flag` column each (None when unflagged)."""
        from ._frames import stations_frame

        return stations_frame(self)

    def levels_dataframe(self):
        """One row per level (pandas): station_id, level (0 is the surface), then LEVEL_COLUMNS."""
        from ._frames import levels_frame

        return levels_frame(self)


@dataclass(frozen=True)
class SurfaceStation:
    id: Any
    lon: float
    lat: float
    elevation: float
    values: Tuple[float, ...]  # values 1 to 26 of the report: value n is values[n - 1]

    def value(self, n: int) -> float:
        """Value n (1 to 26) of the report, numbered as in the file."""
        if not 1 <= n <= _SURFACE_STRIDE:
            raise IndexError(f"surface values are numbered 1 to {_SURFACE_STRIDE}, not {n}")
        return self.values[n - 1]


@dataclass(frozen=True)
class SurfaceReport:
    time: ObservationTime  # year as written in the file
    stations: List[SurfaceStation]
    format: str = "surface"
    source: Optional[str] = None
    problems: List[str] = field(default_factory=list)

    def to_dataframe(self):
        """One row per station (pandas): file, format, time, station_id, lon,
        lat, elevation, then value_5 to value_26 numbered as in the file."""
        from ._frames import surface_frame

        return surface_frame(self)


def _count(value: float, what: str) -> int:
    if not math.isfinite(value) or value < 0 or value != math.floor(value):
        raise ValueError(f"block: {what} is {value!r}, not a count")
    return int(value)


def _identifier(value: float):
    return int(value) if math.isfinite(value) and value == math.floor(value) else value


def float32(value: float) -> float:
    """`value` rounded to the nearest float32 (overflow gives infinity)."""
    try:
        return struct.unpack("f", struct.pack("f", value))[0]
    except OverflowError:
        return math.copysign(math.inf, value)


@functools.lru_cache(maxsize=1 << 16)
def shortest_decimal(value: float) -> float:
    """The float32 `value` as the shortest decimal that reads back as the same
    float32: 36.12 for the float32 nearest 36.12, not 36.119998931884766."""
    if not math.isfinite(value):
        return value
    for digits in range(1, 10):
        candidate = float("%.*g" % (digits, value))
        if float32(candidate) == value:
            return candidate
    return value


class _Values:
    """Floats copied out of a block, with the missing value replaced on request;
    each value surfaces as the shortest decimal of its float32."""

    def __init__(self, raw: bytes, missing: Optional[float]):
        self.floats = array("f", raw)
        self.missing = missing

    def __len__(self):
        return len(self.floats)

    def scalar(self, index: int) -> float:
        value = self.floats[index]
        if self.missing is not None and value == MISSING:
            return self.missing
        return shortest_decimal(value)

    def run(self, start: int, count: int) -> List[float]:
        return [self.scalar(i) for i in range(start, start + count)]

    def table(self, start: int, rows: int, columns: int):
        if _numpy is not None:
            table = _numpy.frombuffer(self.floats, dtype=_numpy.float32, count=rows * columns, offset=start * 4)
            table = table.reshape(rows, columns).copy()
            if self.missing is not None:
                table[table == _numpy.float32(MISSING)] = self.missing
            return table
        values = self.run(start, rows * columns)
        return [tuple(values[r * columns:(r + 1) * columns]) for r in range(rows)]


def sounding_length(first: float, counts_whole_block: bool) -> int:
    """Floats in a sounding block, from its element 0."""
    count = _count(first, "element 0")
    return count if counts_whole_block else count + 1


def surface_length(station_count: float) -> int:
    return 5 + _SURFACE_STRIDE * _count(station_count, "element 4")


def _time(values: _Values, first: int) -> Optional[ObservationTime]:
    fields = [values.floats[first + i] for i in range(4)]
    if all(value == MISSING for value in fields):
        return None
    return ObservationTime(*(_identifier(value) for value in fields))


def _judged(derived_raw: List[float], flags: List[Optional[str]], values: "_Values", honest: bool):
    """The derived values by name, with their flags; with `honest`, a value
    whose flag says it means nothing is NaN."""
    meaningless = _flags.meaningless_flags()
    derived = {}
    for name, raw, flag in zip(DERIVED_NAMES, derived_raw, flags):
        if honest and flag in meaningless:
            derived[name] = math.nan
        elif values.missing is not None and raw == MISSING:
            derived[name] = values.missing
        else:
            derived[name] = shortest_decimal(raw)
    return derived, dict(zip(DERIVED_NAMES, flags))


def sounding(
    raw: bytes,
    analysed: bool,
    carries_elevation: bool,
    missing: Optional[float],
    honest: bool = False,
    flags: Optional[List[List[Optional[str]]]] = None,
) -> Sounding:
    """The stations of a sounding block; `flags` holds the library's flag of
    every derived value of every station of an analysed block."""
    values = _Values(raw, missing)
    station_count = _count(values.floats[5], "element 5")
    stations = []
    position = 6
    for k in range(station_count):
        if position + 5 > len(values):
            raise ValueError(f"block: station {k + 1} does not fit")
        level_count = _count(values.floats[position + 4], f"level count of station {k + 1}")
        end = position + 5 + _LEVEL_WIDTH * level_count + (_DERIVED_COUNT if analysed else 0)
        if end > len(values):
            raise ValueError(f"block: station {k + 1} does not fit")
        levels = values.table(position + 5, level_count, _LEVEL_WIDTH)
        derived = station_flags = None
        if analysed:
            derived_raw = values.floats[end - _DERIVED_COUNT:end].tolist()
            derived, station_flags = _judged(derived_raw, flags[k], values, honest)
        stations.append(
            SoundingStation(
                id=_identifier(values.floats[position]),
                lon=values.scalar(position + 1),
                lat=values.scalar(position + 2),
                elevation=values.scalar(position + 3) if carries_elevation else None,
                levels=levels,
                derived=derived,
                flags=station_flags,
            )
        )
        position = end
    return Sounding(time=_time(values, 1), stations=stations, analysed=analysed)


def surface(raw: bytes, missing: Optional[float]) -> SurfaceReport:
    values = _Values(raw, missing)
    station_count = _count(values.floats[4], "element 4")
    stations = []
    for k in range(station_count):
        first = 5 + _SURFACE_STRIDE * k
        report = tuple(values.run(first, _SURFACE_STRIDE))
        stations.append(
            SurfaceStation(
                id=_identifier(values.floats[first]),
                lon=report[1],
                lat=report[2],
                elevation=report[3],
                values=report,
            )
        )
    return SurfaceReport(time=_time(values, 0), stations=stations)


def raw_values(raw: bytes):
    """The block's floats as a numpy float32 array, or an array('f') without numpy."""
    if _numpy is not None:
        return _numpy.frombuffer(raw, dtype=_numpy.float32).copy()
    return array("f", raw)
