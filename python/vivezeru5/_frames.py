"""pandas tables of readers' results: stations as rows, and levels as rows."""
import math

from ._blocks import DERIVED_NAMES, LEVEL_COLUMNS

FLAG_COLUMNS = tuple(f"{name}_flag" for name in DERIVED_NAMES)
STATION_COLUMNS = ("file", "format", "time", "station_id", "lon", "lat", "elevation", "level_count")
SURFACE_VALUE_COLUMNS = tuple(f"value_{n}" for n in range(5, 27))


def _pandas():
    try:
        import pandas
    except ImportError as error:  # the rest of the package works without pandas
        raise ImportError("to_dataframe needs pandas (apt-get install python3-pandas, or pip install pandas)") from error
    return pandas


def _timestamp(pandas, time):
    if time is None:
        return pandas.NaT
    try:
        return pandas.Timestamp(time.to_datetime())
    except ValueError:  # fields that are no valid date
        return pandas.NaT


def _float(value):
    return math.nan if value is None else float(value)


def _station_row(result, time, station):
    derived = station.derived or {}
    flags = station.flags or {}
    row = [
        result.source,
        result.format,
        time,
        station.id,
        float(station.lon),
        float(station.lat),
        _float(station.elevation),
        station.level_count,
    ]
    row.extend(_float(derived.get(name)) for name in DERIVED_NAMES)
    row.extend(flags.get(name) for name in DERIVED_NAMES)
    return row


def stations_frame(sounding):
    pandas = _pandas()
    time = _timestamp(pandas, sounding.time)
    rows = [_station_row(sounding, time, station) for station in sounding.stations]
    frame = pandas.DataFrame(rows, columns=list(STATION_COLUMNS + DERIVED_NAMES + FLAG_COLUMNS))
    return frame.astype(
        {"time": "datetime64[ns]", "station_id": "int64", "level_count": "int64", **{c: object for c in FLAG_COLUMNS}}
    )


def _level_values(levels):
    """Level rows as lists of shortest-decimal floats, from an array or a list of tuples."""
    if hasattr(levels, "astype"):
        return levels.astype(str).astype("float64").tolist()
    return [list(row) for row in levels]  # already shortest decimals


def levels_frame(sounding):
    pandas = _pandas()
    rows = []
    for station in sounding.stations:
        for index, values in enumerate(_level_values(station.levels)):
            rows.append([station.id, index, *values])
    frame = pandas.DataFrame(rows, columns=["station_id", "level", *LEVEL_COLUMNS])
    return frame.astype({"station_id": "int64", "level": "int64", **{c: "float64" for c in LEVEL_COLUMNS}})


def surface_frame(report):
    pandas = _pandas()
    time = _timestamp(pandas, report.time)
    rows = [
        [report.source, report.format, time, s.id, float(s.lon), float(s.lat), float(s.elevation), *map(float, s.values[4:])]
        for s in report.stations
    ]
    columns = ["file", "format", "time", "station_id", "lon", "lat", "elevation", *SURFACE_VALUE_COLUMNS]
    return pandas.DataFrame(rows, columns=columns).astype({"time": "datetime64[ns]"})
