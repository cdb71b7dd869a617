"""The Python view of the readers' blocks (layouts in vivezeru5/vivezeru5.h)."""
import datetime
import functools
import math
import os
import struct
from array import array
from dataclasses import dataclass, field
from typing import Any, Dict, List, NamedTuple, Optional, Tuple

from . import _flags, _library

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
# Units as pint and MetPy spell them.
LEVEL_UNITS = {
    "pressure_hpa": "hPa",
    "height_dam": "dam",
    "temperature_c": "degC",
    "dewpoint_c": "degC",
    "wind_direction_deg": "degree",
    "wind_speed_ms": "m/s",
}

# The 19 derived values of the analysing readers, in slot order, with units
# and what each is (vivezeru5/vivezeru5.h).
_DERIVED = (
    ("freezing_height_dam", "dam", "height of the freezing level"),
    ("freezing_pressure_hpa", "hPa", "pressure of the freezing level"),
    ("k_index_c", "degC", "K index"),
    ("total_totals_c", "degC", "total totals index"),
    ("sweat_index", "dimensionless", "SWEAT index"),
    ("showalter_index_k", "K", "Showalter index"),
    ("lcl_pressure_hpa", "hPa", "pressure of the lifting condensation level"),
    ("lcl_temperature_c", "degC", "temperature at the lifting condensation level"),
    ("lcl_height_dam", "dam", "height of the lifting condensation level"),
    ("mean_wind_direction_deg", "degree", "direction the mean wind blows from"),
    ("mean_wind_speed_ms", "m/s", "speed of the mean wind"),
    ("surface_lifted_index_k", "K", "lifted index of the surface parcel"),
    ("lfc_pressure_hpa", "hPa", "pressure of the level of free convection"),
    ("lfc_temperature_c", "degC", "temperature at the level of free convection"),
    ("lfc_height_dam", "dam", "height of the level of free convection"),
    ("el_pressure_hpa", "hPa", "pressure of the equilibrium level"),
    ("cape_jkg", "J/kg", "convective available potential energy of the surface parcel"),
    ("cin_jkg", "J/kg", "convective inhibition of the surface parcel"),
    ("bulk_richardson_number", "dimensionless", "bulk Richardson number"),
)
DERIVED_NAMES = tuple(name for name, _, _ in _DERIVED)
DERIVED_UNITS = {name: unit for name, unit, _ in _DERIVED}
DERIVED_DESCRIPTIONS = {name: description for name, _, description in _DERIVED}

_LEVEL_WIDTH = len(LEVEL_COLUMNS)
_HEIGHT_COLUMN = LEVEL_COLUMNS.index("height_dam")
_DERIVED_COUNT = len(_DERIVED)
_SURFACE_STRIDE = 26


@dataclass(frozen=True)
class ObservationTime:
    """Date and hour (UTC) as the block carries them: a type-5 year below 100
    has 2000 added by the reader, so a file's "99" is the year 2099 here.
    `year_as_written` is the year as the file writes it (None when unknown);
    the time shown and converted (`str`, `to_datetime`, the frames' `time`)
    takes `calendar_year`."""

    year: int
    month: int
    day: int
    hour: int
    year_as_written: Optional[int] = None

    @property
    def calendar_year(self) -> int:
        """The year shown: one the file writes with two digits (0 to 99) by
        the POSIX %y rule, 69 to 99 as 1969 to 1999 and 0 to 68 as 2000 to
        2068; otherwise the block's year."""
        written = self.year_as_written
        if written is not None and 0 <= written < 100:
            return 1900 + written if written >= 69 else 2000 + written
        return self.year

    def to_datetime(self) -> datetime.datetime:
        """The time as a datetime in UTC (time-zone aware), in `calendar_year`;
        ValueError when the fields are not a valid date."""
        return datetime.datetime(self.calendar_year, self.month, self.day, self.hour, tzinfo=datetime.timezone.utc)

    def __str__(self):
        return f"{self.calendar_year:04d}-{self.month:02d}-{self.day:02d}T{self.hour:02d}:00Z"


def _shown_name(source: Optional[str]) -> str:
    return repr(os.path.basename(source) if source else source)


@dataclass(frozen=True, repr=False)
class SoundingStation:
    """One station's sounding: position, levels and, for the analysed formats,
    the 19 derived values with their quality flags. `sounding` is its place
    in the file (0 for the first station), which tells apart soundings of the
    same station id."""

    id: Any  # int when the file's id is a whole number
    lon: float
    lat: float
    elevation: Optional[float]  # None when the format carries none (characteristic-level)
    levels: Any  # numpy (n, 6) float32 array, or list of 6-tuples; columns LEVEL_COLUMNS
    derived: Optional[Dict[str, float]]  # DERIVED_NAMES -> value; None when not analysed
    # DERIVED_NAMES -> flag name (FLAG_NAMES) or None; None when not analysed
    flags: Optional[Dict[str, Optional[str]]] = None
    sounding: int = 0  # position in the file's block, from 0

    @property
    def level_count(self) -> int:
        """The number of levels, the surface included."""
        return len(self.levels)

    def __repr__(self):
        return (f"<SoundingStation {self.id}, sounding {self.sounding}, lat {self.lat} lon {self.lon}, "
                f"{self.level_count} levels>")


class _Sequence:
    """A result read as the sequence of the list named by `_items`: len,
    iteration, indexing."""

    _items = "stations"

    def __len__(self):
        return len(getattr(self, self._items))

    def __iter__(self):
        return iter(getattr(self, self._items))

    def __getitem__(self, index):
        return getattr(self, self._items)[index]

    def _repr(self, kind: str) -> str:
        time = f" {self.time}" if self.time is not None else ""
        count = len(self.stations)
        return f"<{kind} {self.format} {_shown_name(self.source)}{time}, {count} station{'s' * (count != 1)}>"


class _Tables:
    """Frames and datasets of every station of the soundings `_soundings()`."""

    _problems_column = False  # whether the station frame ends in a `problems` column

    def _soundings(self):
        return [self]

    def to_dataframe(self):
        """One row per station (pandas): file, sounding, format, time (UTC),
        station_id, lon, lat, elevation, level_count, then the 19 derived
        values and, after them, one `<name>_flag` column each (None when
        unflagged); for an Archive, then `problems`: the file's problems, one
        per line ("" when it has none). `attrs["units"]` gives each column's
        unit."""
        from ._frames import stations_frame

        return stations_frame(self._soundings(), problems=self._problems_column)

    def levels_dataframe(self):
        """One row per level (pandas): file, sounding, station_id, level (0 is
        the surface), then LEVEL_COLUMNS. `attrs["units"]` gives the units."""
        from ._frames import levels_frame

        return levels_frame(self._soundings())

    def to_xarray(self):
        """The stations as a CF discrete-sampling-geometry dataset (xarray,
        featureType profile): one profile each, their levels as a contiguous
        ragged array, missing values NaN."""
        from ._frames import profiles_dataset

        return profiles_dataset(self._soundings())

    def to_netcdf(self, path, **options):
        """Writes `to_xarray()` to the netCDF file `path` (xarray's to_netcdf
        with `options`), missing values as the fill value -9999."""
        return self.to_xarray().to_netcdf(path, **options)


@dataclass(frozen=True, repr=False)
class Sounding(_Sequence, _Tables):
    """The stations of one sounding file, in file order; a sequence of
    SoundingStation (len, iteration, indexing)."""

    time: Optional[ObservationTime]  # None for characteristic-level files
    stations: List[SoundingStation]
    analysed: bool
    format: Optional[str] = None  # type5, type5-plain or rozedu
    source: Optional[str] = None  # the file read, as given
    problems: List[str] = field(default_factory=list)  # what the file declares but the reader did not get
    # the value that stands for a missing one (MISSING unless read with missing=)
    missing: float = field(default=MISSING, compare=False)

    def __repr__(self):
        return self._repr("Sounding")


@dataclass(frozen=True, repr=False)
class SurfaceStation:
    """One station of a surface report: position and the report's 26 values."""

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

    def __repr__(self):
        return f"<SurfaceStation {self.id}, lat {self.lat} lon {self.lon}>"


@dataclass(frozen=True, repr=False)
class SurfaceReport(_Sequence):
    """The stations of one surface file; a sequence of SurfaceStation."""

    time: ObservationTime  # year as written in the file
    stations: List[SurfaceStation]
    format: str = "surface"
    source: Optional[str] = None
    problems: List[str] = field(default_factory=list)
    missing: float = field(default=MISSING, compare=False)

    def __repr__(self):
        return self._repr("SurfaceReport")

    def to_dataframe(self):
        """One row per station (pandas): file, format, time (UTC), station_id,
        lon, lat, elevation, then value_5 to value_26 numbered as in the file."""
        from ._frames import surface_frame

        return surface_frame(self)


class Skipped(NamedTuple):
    """A file left out of an archive read with errors="skip", and why."""

    file: str
    reason: str


@dataclass(frozen=True, repr=False)
class Archive(_Sequence, _Tables):
    """The soundings of many files read at once (`read_many`), in the order
    the files were given; a sequence of Sounding, one per file read. Its
    frames and dataset hold every station of every file, `file` and
    `sounding` telling them apart."""

    soundings: List[Sounding]
    skipped: List[Skipped] = field(default_factory=list)  # with errors="skip": the files left out

    _items = "soundings"
    _problems_column = True

    def _soundings(self):
        return self.soundings

    def __repr__(self):
        stations = sum(len(sounding) for sounding in self.soundings)
        return f"<Archive {len(self.soundings)} files, {stations} stations, {len(self.skipped)} skipped>"

    @property
    def problems(self) -> List[str]:
        """The problems of every file read, in file order."""
        return [problem for sounding in self.soundings for problem in sounding.problems]


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
        """Level rows; with `missing`, a height of the levels' missing-height
        mark (9999) is replaced as the missing value is."""
        if _numpy is not None:
            table = _numpy.frombuffer(self.floats, dtype=_numpy.float32, count=rows * columns, offset=start * 4)
            table = table.reshape(rows, columns).copy()
            if self.missing is not None:
                heights = table[:, _HEIGHT_COLUMN]
                heights[heights == _numpy.float32(_library.missing_height())] = self.missing
                table[table == _numpy.float32(MISSING)] = self.missing
            return table
        values = self.run(start, rows * columns)
        rows_ = [list(values[r * columns:(r + 1) * columns]) for r in range(rows)]
        if self.missing is not None:
            mark = shortest_decimal(_library.missing_height())
            for row in rows_:
                if row[_HEIGHT_COLUMN] == mark:
                    row[_HEIGHT_COLUMN] = self.missing
        return [tuple(row) for row in rows_]


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
                sounding=k,
            )
        )
        position = end
    return Sounding(time=_time(values, 1), stations=stations, analysed=analysed, missing=_marker(missing))


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
    return SurfaceReport(time=_time(values, 0), stations=stations, missing=_marker(missing))


def _marker(missing: Optional[float]) -> float:
    """The value that stands for a missing one in a result read with `missing`."""
    return MISSING if missing is None else missing


def raw_values(raw: bytes):
    """The block's floats as a numpy float32 array, or an array('f') without numpy."""
    if _numpy is not None:
        return _numpy.frombuffer(raw, dtype=_numpy.float32).copy()
    return array("f", raw)
