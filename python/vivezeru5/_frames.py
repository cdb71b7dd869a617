"""Tables of readers' results, built column by column for any number of
files at once: pandas frames (stations as rows, levels as rows) and a CF
discrete-sampling-geometry dataset (xarray) of profiles."""
import math

from ._blocks import DERIVED_DESCRIPTIONS, DERIVED_NAMES, DERIVED_UNITS, LEVEL_COLUMNS, LEVEL_UNITS, MISSING

FLAG_COLUMNS = tuple(f"{name}_flag" for name in DERIVED_NAMES)
STATION_COLUMNS = ("file", "sounding", "format", "time", "station_id", "lon", "lat", "elevation", "level_count")
LEVEL_KEYS = ("file", "sounding", "station_id", "level")
PROBLEMS_COLUMN = "problems"
SURFACE_VALUE_COLUMNS = tuple(f"value_{n}" for n in range(5, 27))
POSITION_UNITS = {"lon": "degrees_east", "lat": "degrees_north", "elevation": "m"}
_LEVEL_WIDTH = len(LEVEL_COLUMNS)


def _pandas():
    try:
        import pandas
    except ImportError as error:  # the rest of the package works without pandas
        raise ImportError("tables need pandas (apt-get install python3-pandas, or pip install pandas)") from error
    return pandas


def _utc(time):
    """The result's time as a UTC datetime, or None when it has none or its
    fields are no valid date."""
    if time is None:
        return None
    try:
        return time.to_datetime()
    except ValueError:
        return None


class _Columns:
    """The stations of sounding results, column by column, in file order."""

    def __init__(self, results):
        self.file, self.sounding, self.format, self.time, self.station_id = [], [], [], [], []
        self.lon, self.lat, self.elevation, self.level_count = [], [], [], []
        self.derived, self.flags, self.problems, self.levels, self.missing = [], [], [], [], []
        no_values, no_flags = [math.nan] * len(DERIVED_NAMES), [None] * len(DERIVED_NAMES)
        for result in results:
            time, problems = _utc(result.time), "\n".join(result.problems)
            for station in result.stations:
                self.file.append(result.source)
                self.sounding.append(station.sounding)
                self.format.append(result.format)
                self.time.append(time)
                self.station_id.append(station.id)
                self.lon.append(station.lon)
                self.lat.append(station.lat)
                self.elevation.append(math.nan if station.elevation is None else station.elevation)
                self.level_count.append(station.level_count)
                self.derived.append(list(station.derived.values()) if station.derived else no_values)
                self.flags.append(list(station.flags.values()) if station.flags else no_flags)
                self.problems.append(problems)
                self.levels.append(station.levels)
                self.missing.append(result.missing)

    def level_table(self, numpy):
        """Every level of every station as one float32 array of shape (n, 6)."""
        tables = [numpy.asarray(levels, dtype=numpy.float32).reshape(-1, _LEVEL_WIDTH) for levels in self.levels]
        return numpy.concatenate(tables) if tables else numpy.empty((0, _LEVEL_WIDTH), numpy.float32)

    def per_level(self, numpy, values):
        """A per-station column repeated for each of the station's levels."""
        return numpy.repeat(numpy.asarray(values), self.level_count)


def decimals(numpy, values):
    """float32 values as float64 holding each one's shortest decimal (36.12,
    not 36.119998931884766), converting each distinct value once."""
    distinct, where = numpy.unique(values, return_inverse=True)
    return distinct.astype(str).astype(numpy.float64)[where].reshape(values.shape)


def _station_data(columns, numpy, pandas):
    count = len(columns.file)
    derived = numpy.array(columns.derived, dtype=numpy.float64).reshape(count, len(DERIVED_NAMES))
    flags = numpy.array(columns.flags, dtype=object).reshape(count, len(DERIVED_NAMES))
    data = {
        "file": numpy.array(columns.file, dtype=object),
        "sounding": numpy.array(columns.sounding, dtype=numpy.int64),
        "format": numpy.array(columns.format, dtype=object),
        "time": pandas.to_datetime(columns.time, utc=True, errors="coerce"),
        "station_id": numpy.array(columns.station_id, dtype=numpy.int64),
        "lon": numpy.array(columns.lon, dtype=numpy.float64),
        "lat": numpy.array(columns.lat, dtype=numpy.float64),
        "elevation": numpy.array(columns.elevation, dtype=numpy.float64),
        "level_count": numpy.array(columns.level_count, dtype=numpy.int64),
    }
    data.update((name, derived[:, slot]) for slot, name in enumerate(DERIVED_NAMES))
    data.update((name, flags[:, slot]) for slot, name in enumerate(FLAG_COLUMNS))
    return data


def stations_frame(results, problems: bool = False):
    """One row per station of the sounding results, in file order; with
    `problems`, a last column of each file's problems, one per line."""
    import numpy

    pandas = _pandas()
    columns = _Columns(results)
    data = _station_data(columns, numpy, pandas)
    if problems:
        data[PROBLEMS_COLUMN] = numpy.array(columns.problems, dtype=object)
    frame = pandas.DataFrame(data)
    frame.attrs["units"] = {**POSITION_UNITS, **DERIVED_UNITS}
    return frame


def levels_frame(results):
    """One row per level of every station of the sounding results."""
    import numpy

    pandas = _pandas()
    columns = _Columns(results)
    table = decimals(numpy, columns.level_table(numpy))
    counts = numpy.array(columns.level_count, dtype=numpy.int64)
    starts = numpy.cumsum(counts) - counts
    data = {
        "file": columns.per_level(numpy, numpy.array(columns.file, dtype=object)),
        "sounding": columns.per_level(numpy, numpy.array(columns.sounding, dtype=numpy.int64)),
        "station_id": columns.per_level(numpy, numpy.array(columns.station_id, dtype=numpy.int64)),
        "level": numpy.arange(len(table), dtype=numpy.int64) - numpy.repeat(starts, counts),
    }
    data.update((name, table[:, column]) for column, name in enumerate(LEVEL_COLUMNS))
    frame = pandas.DataFrame(data)
    frame.attrs["units"] = dict(LEVEL_UNITS)
    return frame


def surface_frame(report):
    """One row per station of a surface report."""
    pandas = _pandas()
    rows = [
        [report.source, report.format, s.id, float(s.lon), float(s.lat), float(s.elevation), *map(float, s.values[4:])]
        for s in report.stations
    ]
    columns = ["file", "format", "station_id", "lon", "lat", "elevation", *SURFACE_VALUE_COLUMNS]
    frame = pandas.DataFrame(rows, columns=columns)
    frame.insert(2, "time", pandas.to_datetime([_utc(report.time)] * len(rows), utc=True, errors="coerce"))
    frame.attrs["units"] = dict(POSITION_UNITS)
    return frame


# CF names of the level columns, and CF spellings of the units
_STANDARD_NAMES = {
    "pressure_hpa": ("air_pressure", "pressure"),
    "height_dam": ("geopotential_height", "geopotential height in decametres (dam)"),
    "temperature_c": ("air_temperature", "temperature"),
    "dewpoint_c": ("dew_point_temperature", "dew point"),
    "wind_direction_deg": ("wind_from_direction", "direction the wind blows from"),
    "wind_speed_ms": ("wind_speed", "wind speed"),
}
_CF_UNITS = {"m/s": "m s-1", "J/kg": "J kg-1", "dimensionless": "1"}


def _xarray():
    try:
        import xarray
    except ImportError as error:
        raise ImportError("to_xarray needs xarray (apt-get install python3-xarray, or pip install xarray)") from error
    return xarray


def profiles_dataset(results):
    """The stations of the sounding results as CF profiles (featureType
    profile, contiguous ragged array): per-profile variables on `profile`,
    the levels on `obs`, missing values NaN (-9999 as _FillValue in a file)."""
    import numpy

    from . import _flags, _library

    xarray, pandas = _xarray(), _pandas()
    columns = _Columns(results)
    count = len(columns.file)
    missing = numpy.array(columns.missing, dtype=numpy.float32)
    levels = columns.level_table(numpy)
    level_missing = numpy.repeat(missing, columns.level_count)[:, None]
    levels[levels == level_missing] = numpy.nan
    derived = numpy.array(columns.derived, dtype=numpy.float32).reshape(count, len(DERIVED_NAMES))
    derived[derived == missing[:, None]] = numpy.nan
    data = _station_data(columns, numpy, pandas)
    time = data["time"].tz_convert(None).to_numpy()

    def on_profile(values, **attributes):
        return ("profile", values, attributes)

    def position(name, standard_name, description):
        values = data[name].astype(numpy.float32)
        values[values == missing] = numpy.nan
        return on_profile(values, standard_name=standard_name, units=POSITION_UNITS[name], long_name=description)

    variables = {
        "file": on_profile(data["file"].astype(str), long_name="file the profile was read from"),
        "sounding": on_profile(data["sounding"], long_name="position of the sounding in its file, from 0"),
        "format": on_profile(data["format"].astype(str), long_name="format of the file"),
        "station_id": on_profile(data["station_id"], long_name="station identifier"),
        "row_size": on_profile(data["level_count"].astype(numpy.int32), long_name="number of levels of the profile",
                               sample_dimension="obs"),
        "time": on_profile(time, standard_name="time", long_name="time of the sounding (UTC)"),
        "lon": position("lon", "longitude", "station longitude"),
        "lat": position("lat", "latitude", "station latitude"),
        "elevation": position("elevation", "surface_altitude", "station elevation"),
    }
    for column, name in enumerate(LEVEL_COLUMNS):
        standard_name, description = _STANDARD_NAMES[name]
        unit = LEVEL_UNITS[name]
        variables[name] = ("obs", levels[:, column], {"standard_name": standard_name, "long_name": description,
                                                      "units": _CF_UNITS.get(unit, unit)})
    choices = ", ".join(_flags.flag_names())
    for slot, name in enumerate(DERIVED_NAMES):
        unit = DERIVED_UNITS[name]
        variables[name] = on_profile(derived[:, slot], long_name=DERIVED_DESCRIPTIONS[name], units=_CF_UNITS.get(unit, unit))
        flags = numpy.array(["" if flag is None else flag for flag in data[FLAG_COLUMNS[slot]]], dtype=object)
        variables[FLAG_COLUMNS[slot]] = on_profile(
            flags, long_name=f"quality flag of {name}", comment=f"empty when unflagged, else one of {choices}")
    dataset = xarray.Dataset(
        variables,
        coords={"profile": ("profile", numpy.arange(count, dtype=numpy.int32),
                            {"cf_role": "profile_id", "long_name": "profile number, in file order"})},
        attrs={"Conventions": "CF-1.8", "featureType": "profile",
               "source": f"read by vivezeru5 {_library.version()}"},
    )
    if data["time"].isna().all():  # characteristic-level files carry no time
        dataset = dataset.drop_vars("time").set_coords(["lon", "lat", "elevation"])
    else:
        dataset = dataset.set_coords(["time", "lon", "lat", "elevation"])
        dataset["time"].encoding.update(units="hours since 1970-01-01 00:00:00", calendar="standard",
                                        dtype="float64")
    for name in (*LEVEL_COLUMNS, *DERIVED_NAMES, "lon", "lat", "elevation"):
        dataset[name].encoding["_FillValue"] = numpy.float32(MISSING)
    return dataset
