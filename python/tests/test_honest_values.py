"""Quality flags, honest values, validity problems and format recognition."""
import contextlib
import gzip
import io
import math
import os
import warnings
from pathlib import Path

import pytest

import vivezeru5

DATA = Path(__file__).resolve().parent / "data"
from conftest import REAL, real_file  # noqa: E402
ML, NR, NO_LFC, NO_EL, PD = "missing_level", "not_reached", "no_lfc", "el_not_found", "parcel_disagrees"
MEANS_NOTHING = {ML, NR, "nan"}
ONE_STEP = {"showalter_index_k": PD, "surface_lifted_index_k": PD}
ALL_NOT_REACHED = {name: NR for name in vivezeru5.DERIVED_NAMES}
PARCEL = ("lfc_pressure_hpa", "lfc_temperature_c", "lfc_height_dam", "el_pressure_hpa", "cape_jkg", "cin_jkg",
          "bulk_richardson_number")

# station of data/flag_cases.txt -> the flagged values (every other value unflagged), checked by hand
FLAG_CASES = [
    # no 500 hPa level; LFC at 873 hPa, still buoyant at the top (400 hPa): no EL
    (1, {"k_index_c": ML, "total_totals_c": ML, "sweat_index": ML, "showalter_index_k": ML,
         "surface_lifted_index_k": ML, "el_pressure_hpa": NR, "cape_jkg": NO_EL, "bulk_richardson_number": NO_EL}),
    # surface at 900 hPa: the indices are left at 0; the one-step indices
    # have the other sign than their parcels
    (2, {"k_index_c": NR, "total_totals_c": NR, "sweat_index": NR, **ONE_STEP}),
    # surface at 800 hPa, so no 850 hPa level, and the indices are not formed;
    # no LFC: CAPE 0 is a value, CIN the whole sounding's
    (3, {"k_index_c": NR, "total_totals_c": NR, "sweat_index": NR, "showalter_index_k": ML,
         "lfc_pressure_hpa": NR, "lfc_temperature_c": NR, "lfc_height_dam": NR, "el_pressure_hpa": NR,
         "cin_jkg": NO_LFC, "bulk_richardson_number": NR}),
    # no levels at all
    (4, ALL_NOT_REACHED),
    # surface dew point -9999
    (5, {"showalter_index_k": PD, "lcl_pressure_hpa": ML, "lcl_temperature_c": ML, "lcl_height_dam": ML,
         "surface_lifted_index_k": ML, **{name: ML for name in PARCEL}}),
    # 850 hPa wind speed -9999: SWEAT and the mean wind
    (6, {"sweat_index": ML, "mean_wind_direction_deg": ML, "mean_wind_speed_ms": ML, "el_pressure_hpa": NR,
         "cape_jkg": NO_EL, "bulk_richardson_number": NO_EL, **ONE_STEP}),
    # 700 hPa temperature -9999 ends the freezing-level search; negative CAPE leaves no Richardson number
    (7, {"freezing_height_dam": ML, "freezing_pressure_hpa": ML, "k_index_c": ML, "mean_wind_direction_deg": ML,
         "mean_wind_speed_ms": ML, "el_pressure_hpa": NR, "cape_jkg": NO_EL, "bulk_richardson_number": NR,
         **ONE_STEP}),
]


def expected_flags(flagged):
    return {name: flagged.get(name) for name in vivezeru5.DERIVED_NAMES}


@pytest.mark.parametrize("station_id, flagged", FLAG_CASES)
def test_flags_of_made_up_stations(station_id, flagged):
    sounding = vivezeru5.read(DATA / "flag_cases.txt")
    station = next(s for s in sounding.stations if s.id == station_id)
    assert station.flags == expected_flags(flagged)


# real soundings of the issue: file -> flagged values of its one station (a subset)
REAL_CASES = [
    ("type5_int/JAN_2000072700.txt", {"k_index_c": ML, "total_totals_c": ML, "sweat_index": ML,
                                      "showalter_index_k": ML}),
    ("type5_int/BRW_2010060100.txt", {"cin_jkg": NO_LFC, "cape_jkg": None, "lfc_pressure_hpa": NR}),
    ("type5_int/OAX_2014061619.txt", {"surface_lifted_index_k": PD, "showalter_index_k": PD}),
    ("type5_int/OAX_2014061619.txt", {"cape_jkg": NO_EL, "el_pressure_hpa": NR, "bulk_richardson_number": NO_EL}),
    ("rozedu/OAX_2014061619.txt", {"cape_jkg": NO_EL, "el_pressure_hpa": NR}),
]


@pytest.mark.parametrize("name, flagged", REAL_CASES)
def test_flags_of_real_soundings(name, flagged):
    station = vivezeru5.read(real_file(name)).stations[0]
    assert {key: station.flags[key] for key in flagged} == flagged


def test_honest_blanks_values_that_mean_nothing_only():
    plain = vivezeru5.read(DATA / "flag_cases.txt").stations[0]
    honest = vivezeru5.read(DATA / "flag_cases.txt", honest=True).stations[0]
    assert honest.flags == plain.flags
    assert plain.flags["cape_jkg"] == NO_EL and honest.derived["cape_jkg"] == plain.derived["cape_jkg"]
    for name in vivezeru5.DERIVED_NAMES:
        if plain.flags[name] in MEANS_NOTHING:
            assert math.isnan(honest.derived[name]), name
        else:
            assert honest.derived[name] == plain.derived[name], name
    assert plain.derived["k_index_c"] == 10019  # the block's value stays as it is without honest


# file text, format, problems (each after "FILE: ")
PROBLEM_CASES = [
    ("diamond 5 ok\n26 1 1 0 1\n7 1 2 3 12\n1000 0 10 5 0 0\n900 90 5 0 10 5\n", "type5", []),
    # a file cut inside the second level
    ("diamond 5 cut\n26 1 1 0 1\n7 1 2 3 18\n1000 0 10 5 0 0\n900 9", "type5",
     ["station 7: 18 level values declared, 8 converted"]),
    # a broken station id ends the reading after the first of three stations
    ("diamond 5 id\n26 1 1 0 3\n7 1 2 3 6\n1000 0 10 5 0 0\n8x 1 2 3 6\n1000 0 10 5 0 0\n9 1 2 3 0\n", "type5",
     ["declares 3 stations, 1 read", 'unread text after station 7, from line 5: "8x"']),
    ("diamond 5 eight\n26 1 1 0 1\n7 1 2 3 8\n1000 0 10 5 0 0 1 2\n", "type5-plain",
     ["station 7: value count 8 is not a multiple of 6", 'unread text after station 7, from line 4: "1"']),
    ("1 7 30 100 2\n1000 0 1 10 5 0 0\n900 1 90 5 0 10\n", "rozedu", ["station 7: 2 levels declared (14 values), 13 converted"]),
    ("1 7 30 100 1\n1000 0 1 10 5 0 0\nend\n", "rozedu", ['unread text after station 7, from line 3: "end"']),
    # the station count is cut to its low 32 bits, as the reader converts it: 1
    ("diamond 5 big\n26 1 1 0 4294967297\n7 1 2 3 6\n1000 0 10 5 0 0\n", "type5", []),
    # "1e+" converts as 1
    ("diamond 5 exp\n26 1 1 0 1\n7 1 2 3 6\n1000.5 0 10 5 0 1e+\n", "type5-plain", []),
    ("tag 1 x 26 1 1 0 3\n" + " ".join(["1"] * 24) + "\n" + " ".join(["1"] * 20) + "\n", "surface",
     ["declares 3 stations, 1 read", 'unread text, from line 3: "1"']),
    # a word past 1 MiB: read no further, shown cut to 40 characters with quote,
    # backslash and control bytes escaped
    ('1 7 30 100 1\n1000 0 1 10 5 0 0\n"q\\\x01' + "x" * (1 << 21), "rozedu",
     ['unread text after station 7, from line 3: "\\x22q\\x5c\\x01' + "x" * 36 + '..."']),
]


@pytest.mark.parametrize("text, format_name, problems", PROBLEM_CASES)
def test_problems_name_file_and_station(write_file, text, format_name, problems):
    path = write_file(text)
    with pytest.warns(vivezeru5.VivezeruWarning) if problems else _file_warnings("error"):
        result = vivezeru5.read(path, format=format_name)
    assert result.problems == [f"{path}: {problem}" for problem in problems]


@contextlib.contextmanager
def _file_warnings(action):
    with warnings.catch_warnings():
        warnings.simplefilter(action, vivezeru5.VivezeruWarning)
        yield


# file text -> recognised format
RECOGNITION_CASES = [
    ("1 7 30 100 1\n1000 0 1 10 5 0 0\n", "rozedu"),
    ("tag 1 x 26 1 1 0 1\n" + " ".join(["1"] * 24), "surface"),
    ("diamond 5 x\n26 1 1 0 1\n7 1 2 3 6\n1000 0 10 5 0 0\n", "type5"),
    ("diamond 5 x\n26 1 1 0 1\n7 1 2 3 6\n1000 0 10.5 5 0 0\n", "type5-plain"),
    # a stray word or decimal after the first station does not make the file decimal
    ("diamond 5 x\n26 1 1 0 2\n7 1 2 3 6\n1000 0 10 5 0 0\nstray 1.5\n", "type5"),
    # the first station with levels decides
    ("diamond 5 x\n26 1 1 0 2\n7 1 2 3 0\n8 1 2 3 6\n1000 0 10 5 0.5 0\n", "type5-plain"),
]


@pytest.mark.parametrize("text, format_name", RECOGNITION_CASES)
def test_format_recognised_from_first_station(write_file, text, format_name):
    with _file_warnings("ignore"):
        assert vivezeru5.read(write_file(text)).format == format_name


def test_unrecognised_text_raises(write_file):
    with pytest.raises(vivezeru5.VivezeruError, match="not recognised"):
        vivezeru5.read(write_file("hello 7 world\n"))


def _sources(path):
    contents = path.read_bytes()
    return [
        ("path", str(path)),
        ("bytes", contents),
        ("file object", io.BytesIO(contents)),
        ("gzip bytes", gzip.compress(contents)),
    ]


@pytest.mark.parametrize("kind", ["path", "bytes", "file object", "gzip bytes", "gzip file"])
def test_read_takes_paths_bytes_file_objects_and_gzip(tmp_path, examples, kind):
    path = examples / "sounding_rozedu.txt"
    if kind == "gzip file":
        source = tmp_path / "sounding.txt.gz"
        source.write_bytes(gzip.compress(path.read_bytes()))
    else:
        source = dict(_sources(path))[kind]
    got = vivezeru5.read(source)
    want = vivezeru5.read_rozedu(path)
    assert got.format == "rozedu"
    assert [(s.id, s.derived, s.flags) for s in got.stations] == [(s.id, s.derived, s.flags) for s in want.stations]


# float32 in the block -> the value surfacing in Python
DECIMAL_CASES = [(36.12, 36.12), (116.3, 116.3), (-9999.0, -9999.0), (0.1, 0.1), (1e-7, 1e-7), (599.99994, 599.99994)]


@pytest.mark.parametrize("value, shown", DECIMAL_CASES)
def test_float32_values_surface_as_shortest_decimals(value, shown):
    from vivezeru5._blocks import shortest_decimal
    from conftest import f32

    assert repr(shortest_decimal(f32(value))) == repr(shown)
    assert f32(shown) == f32(value)


# The command-line tool's JSON golden outputs carry the same flags and problems.
ROOT = Path(os.environ.get("VIVEZERU5_EXAMPLES", Path(__file__).resolve().parents[2] / "examples")).parent
TOOL_JSON = sorted((ROOT / "tests" / "cli" / "golden").glob("*json*.stdout"))


def _tool_documents(golden):
    """(file, format, problems or None, station rows) of each file in a golden JSON output."""
    import json

    document = json.loads(golden.read_text())
    if isinstance(document, dict):
        return [(document["file"], document["format"], document["problems"], document["stations"])]
    files = {}
    for row in document:
        files.setdefault((row["file"], row["format"]), []).append(row)
    return [(file, format_name, None, rows) for (file, format_name), rows in files.items()]


@pytest.mark.parametrize("golden", TOOL_JSON, ids=[path.stem for path in TOOL_JSON])
def test_flags_and_problems_agree_with_the_tool(monkeypatch, golden):
    checked = 0
    for file, format_name, problems, rows in _tool_documents(golden):
        base = next((b for b in (ROOT, REAL) if (b / file).exists()), None)
        if base is None:
            continue
        monkeypatch.chdir(base)
        with _file_warnings("ignore"):
            result = vivezeru5.read(file, format=format_name)
        if problems is not None:
            assert result.problems == problems
        assert [s.id for s in result.stations] == [row["station"] for row in rows]
        for station, row in zip(result.stations, rows):
            for name in vivezeru5.DERIVED_NAMES if getattr(station, "flags", None) else ():
                assert station.flags[name] == row[f"{name}_flag"], (file, station.id, name)
                value = row[f"{name}_raw"] if row[f"{name}_flag"] in MEANS_NOTHING else row[name]
                if isinstance(value, (int, float)):
                    assert station.derived[name] == value, (file, station.id, name)
        checked += 1
    if not checked:
        pytest.skip(f"none of the files of {golden.name} is here")
