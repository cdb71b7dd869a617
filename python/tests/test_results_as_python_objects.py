"""Results as Python users expect them: sounding identity, errors, sequences,
reprs, UTC times, units, docstrings, and many files read at once."""
import datetime
import errno
import gzip
import inspect
import math

import pytest

import vivezeru5
from conftest import real_file
from vivezeru5._library import cannot_open

UTC = datetime.timezone.utc


def test_soundings_of_one_station_id_stay_apart():
    """type5_int.txt holds four OUN soundings, all with id 72357."""
    pytest.importorskip("pandas")
    sounding = vivezeru5.read(real_file("type5_int.txt"))
    stations = sounding.to_dataframe()
    oun = stations[stations["station_id"] == 72357]
    assert oun["sounding"].tolist() == [0, 1, 2, 6]
    assert oun.groupby("sounding")["level_count"].sum().tolist() == [29, 65, 71, 233]
    levels = sounding.levels_dataframe()
    assert levels.groupby("station_id").size()[72357] == 29 + 65 + 71 + 233  # merged
    per_sounding = levels[levels["station_id"] == 72357].groupby(["file", "sounding"]).size()
    assert per_sounding.tolist() == [29, 65, 71, 233]
    assert [s.sounding for s in sounding if s.id == 72357] == [0, 1, 2, 6]
    joined = levels.merge(stations[["file", "sounding", "cape_jkg"]], on=["file", "sounding"], validate="many_to_one")
    assert len(joined) == len(levels)


@pytest.mark.parametrize(
    "code, kinds",
    [
        (errno.ENOENT, (FileNotFoundError,)),
        (errno.EACCES, (PermissionError,)),
        (errno.EPERM, (PermissionError,)),
        (errno.EISDIR, (IsADirectoryError,)),
        (errno.ENOTDIR, (NotADirectoryError,)),
        (errno.EIO, ()),
    ],
)
def test_open_errors_are_python_errors_of_their_errno(code, kinds):
    error = cannot_open(code, "data/x.txt")
    assert isinstance(error, (vivezeru5.VivezeruError, *kinds))
    assert all(isinstance(error, kind) for kind in kinds)
    assert (error.errno, error.filename) == (code, "data/x.txt")


@pytest.mark.parametrize("name, kind", [("absent.txt", FileNotFoundError), ("", IsADirectoryError),
                                        ("file.txt/x", NotADirectoryError)])
def test_files_that_cannot_be_opened(tmp_path, name, kind):
    (tmp_path / "file.txt").write_text("")
    path = tmp_path / name
    with pytest.raises(kind) as raised:
        vivezeru5.read(path)
    assert isinstance(raised.value, vivezeru5.VivezeruError)
    assert raised.value.filename == str(path)


@pytest.mark.parametrize("damage, message", [(lambda data: data[:-20], "ended before"),
                                             (lambda data: data[:3] + b"\0" * 40, "")])
def test_damaged_gzip_file_names_the_file(examples, tmp_path, damage, message):
    path = tmp_path / "sounding.txt.gz"
    path.write_bytes(damage(gzip.compress((examples / "sounding_type5.txt").read_bytes())))
    with pytest.raises(vivezeru5.VivezeruError, match=f"{path}: not a readable gzip file: .*{message}"):
        vivezeru5.read(path)


@pytest.mark.parametrize("name, count, first, last", [("sounding_type5.txt", 3, 10001, 10003),
                                                      ("surface_type1.txt", 4, 40101, 40104)])
def test_results_are_sequences_of_stations(examples, name, count, first, last):
    result = vivezeru5.read(examples / name)
    assert len(result) == count
    assert [station.id for station in result] == [s.id for s in result.stations]
    assert (result[0].id, result[-1].id) == (first, last)
    assert [s.id for s in result[1:3]] == [s.id for s in result.stations[1:3]]


@pytest.mark.parametrize(
    "name, index, sounding, station",
    [
        ("sounding_type5.txt", 0, "<Sounding type5 'sounding_type5.txt' 2026-12-08T12:00Z, 3 stations>",
         "<SoundingStation 10001, sounding 0, lat 39.9 lon 116.3, 15 levels>"),
        ("sounding_rozedu.txt", 1, "<Sounding rozedu 'sounding_rozedu.txt', 2 stations>",
         "<SoundingStation 20102, sounding 1, lat 45.9 lon 126.6, 8 levels>"),
    ],
)
def test_short_reprs(examples, name, index, sounding, station):
    result = vivezeru5.read(examples / name)
    assert (repr(result), repr(result[index])) == (sounding, station)


def test_times_are_utc(examples):
    pytest.importorskip("pandas")
    sounding = vivezeru5.read(examples / "sounding_type5.txt")
    assert sounding.time.to_datetime() == datetime.datetime(2026, 12, 8, 12, tzinfo=UTC)
    assert sounding.time.to_datetime().utcoffset() == datetime.timedelta(0)
    time = sounding.to_dataframe()["time"]
    assert str(time.dtype) == "datetime64[ns, UTC]"
    assert time[0].isoformat() == "2026-12-08T12:00:00+00:00"


ONE_LEVEL = "1 118.8 32.0 9 6\n1012 4 18 14 150 4\n"


# date line's year -> the block's year, the year shown (POSIX %y for two digits)
@pytest.mark.parametrize(
    "header, written, block, shown",
    [
        ("diamond 5 x\n", "99", 2099, 1999),
        ("diamond 5 x\n", "69", 2069, 1969),
        ("diamond 5 x\n", "68", 2068, 2068),
        ("diamond 5 x\n", "00", 2000, 2000),
        ("diamond 5 x\n", "2023", 2023, 2023),
        ("tag 1 x ", "26", 26, 2026),
    ],
)
def test_two_digit_years_are_shown_by_the_posix_rule(write_file, header, written, block, shown):
    pytest.importorskip("pandas")
    if header.startswith("tag"):
        text = f"{header}{written} 05 04 00 1\n1 100 30 5 " + " ".join(["1"] * 20) + "\n"
    else:
        text = f"{header}{written} 05 04 00 1\n{ONE_LEVEL}"
    result = vivezeru5.read(write_file(text))
    assert (result.time.year, result.time.calendar_year) == (block, shown)
    assert result.time.to_datetime() == datetime.datetime(shown, 5, 4, tzinfo=UTC)
    assert f" {shown}-05-04T00:00Z, 1 station>" in repr(result)
    assert result.to_dataframe()["time"][0].year == shown


def test_real_sounding_of_1999():
    sounding = vivezeru5.read(real_file("type5_int/OUN_1999050400.txt"))
    assert (sounding.time.year, str(sounding.time)) == (2099, "1999-05-04T00:00Z")


@pytest.mark.parametrize(
    "table, column, unit",
    [
        ("to_dataframe", "lon", "degrees_east"),
        ("to_dataframe", "k_index_c", "degC"),
        ("to_dataframe", "cape_jkg", "J/kg"),
        ("to_dataframe", "sweat_index", "dimensionless"),
        ("levels_dataframe", "pressure_hpa", "hPa"),
        ("levels_dataframe", "wind_speed_ms", "m/s"),
    ],
)
def test_frames_carry_their_units(examples, table, column, unit):
    pytest.importorskip("pandas")
    frame = getattr(vivezeru5.read(examples / "sounding_type5.txt"), table)()
    assert frame.attrs["units"][column] == unit


def _public(module):
    for name in module.__all__:
        item = getattr(module, name)
        if inspect.isclass(item) or inspect.isfunction(item):
            yield name, item
            for member in dir(item) if inspect.isclass(item) else ():
                value = inspect.getattr_static(item, member)
                if not member.startswith("_") and (inspect.isfunction(value) or isinstance(value, property)):
                    yield f"{name}.{member}", value


def test_every_public_class_and_function_has_a_docstring():
    import vivezeru5.dask

    undocumented = [name for name, item in _public(vivezeru5) if not inspect.getdoc(item)]
    undocumented += [name for name in ("read_archive", "Problems") if not inspect.getdoc(getattr(vivezeru5.dask, name))]
    assert undocumented == []


TWO_DECLARED = "diamond 5 short\n26 1 1 0 2\n1 118.8 32.0 9 12\n1012 4 18 14 150 4\n925 78 14 10 160 20\n"


@pytest.mark.parametrize("threads", [1, 2])
def test_many_files_in_one_frame(examples, write_file, threads):
    pytest.importorskip("pandas")
    import pandas

    short = write_file(TWO_DECLARED)
    paths = [examples / "sounding_type5.txt", short, examples / "sounding_rozedu.txt"]
    with pytest.warns(vivezeru5.VivezeruWarning, match="declares 2 stations, 1 read"):
        archive = vivezeru5.read_many(paths, threads=threads)
    assert len(archive) == 3 and archive.skipped == []
    assert repr(archive) == "<Archive 3 files, 6 stations, 0 skipped>"
    stations = archive.to_dataframe()
    assert stations["station_id"].tolist() == [10001, 10002, 10003, 1, 20101, 20102]
    assert stations["sounding"].tolist() == [0, 1, 2, 0, 0, 1]
    assert stations["problems"].tolist() == ["", "", "", f"{short}: declares 2 stations, 1 read", "", ""]
    assert stations["time"].isna().tolist() == [False] * 4 + [True] * 2  # characteristic-level files have none
    levels = archive.levels_dataframe()
    assert len(levels) == 15 + 7 + 6 + 2 + 9 + 8
    assert levels[levels["file"] == str(short)]["pressure_hpa"].tolist() == [1012, 925]
    with pytest.warns(vivezeru5.VivezeruWarning):
        one_by_one = [vivezeru5.read(path) for path in paths]
    pandas.testing.assert_frame_equal(stations.drop(columns="problems"),
                                      pandas.concat([r.to_dataframe() for r in one_by_one], ignore_index=True))
    pandas.testing.assert_frame_equal(levels, pandas.concat([r.levels_dataframe() for r in one_by_one],
                                                            ignore_index=True))


def test_many_files_from_a_pattern_with_bad_ones_skipped(examples, tmp_path):
    pytest.importorskip("pandas")
    for name in ("a_sounding.txt", "c_surface.txt"):
        source = {"a": "sounding_type5.txt", "c": "surface_type1.txt"}[name[0]]
        (tmp_path / name).write_bytes((examples / source).read_bytes())
    (tmp_path / "b_unknown.txt").write_text("hello 7 world\n")
    with pytest.warns(vivezeru5.VivezeruWarning, match="skipped"):
        archive = vivezeru5.read_many(str(tmp_path / "*.txt"), errors="skip")
    assert [s.source for s in archive] == [str(tmp_path / "a_sounding.txt")]
    assert [(s.file, s.reason) for s in archive.skipped] == [
        (str(tmp_path / "b_unknown.txt"), f"{tmp_path / 'b_unknown.txt'}: format not recognised; name it with format= "
                                          "(type5, type5-plain, rozedu, surface)"),
        (str(tmp_path / "c_surface.txt"), f"{tmp_path / 'c_surface.txt'}: surface files hold no soundings"),
    ]
    with pytest.raises(FileNotFoundError):
        vivezeru5.read_many([tmp_path / "a_sounding.txt", tmp_path / "absent.txt"])
    with pytest.raises(ValueError, match="errors="):
        vivezeru5.read_many([tmp_path / "a_sounding.txt"], errors="ignore")


def test_missing_values_reach_the_archive_frames(write_file):
    pytest.importorskip("pandas")
    path = write_file("diamond 5 gaps\n26 4 2 0 1\n1 118.8 32.0 9 12\n1012 4 18 14 150 4\n925 78 14 -9999 -9999 20\n")
    levels = vivezeru5.read_many([path], format="type5-plain", missing=math.nan).levels_dataframe()
    assert levels["dewpoint_c"].isna().tolist() == [False, True]
    assert levels["wind_speed_ms"].tolist() == [4, 20]
