"""The Python readers against the shipped examples and small made-up files."""
import math
import errno
import os
import subprocess
import sys
import threading

import pytest

import vivezeru5
from conftest import rows


def f32(value):
    """The float32 nearest to `value`, as a Python float."""
    import struct

    return struct.unpack("f", struct.pack("f", value))[0]


# reader, example, stations, analysed, time, first station (id, lon, lat, elevation, levels)
EXAMPLES = [
    (vivezeru5.read_type5, "sounding_type5.txt", 3, True, (2026, 12, 8, 12), (10001, 116.30, 39.90, 55.0, 15)),
    (vivezeru5.read_type5_plain, "sounding_type5.txt", 3, False, (2026, 12, 8, 12), (10001, 116.30, 39.90, 55.0, 15)),
    (vivezeru5.read_type5_plain, "sounding_type5_decimal.txt", 2, False, (2026, 7, 15, 0), (30101, 113.25, 23.15, 41.0, 10)),
    (vivezeru5.read_rozedu, "sounding_rozedu.txt", 2, True, None, (20101, 123.40, 41.70, None, 9)),
]


@pytest.mark.parametrize("reader, name, count, analysed, time, first", EXAMPLES)
def test_examples(levels_kind, examples, reader, name, count, analysed, time, first):
    sounding = reader(examples / name)
    assert len(sounding.stations) == count
    assert sounding.analysed == analysed
    if time is None:
        assert sounding.time is None
    else:
        assert (sounding.time.year, sounding.time.month, sounding.time.day, sounding.time.hour) == time
    station = sounding.stations[0]
    station_id, lon, lat, elevation, level_count = first
    assert station.id == station_id and isinstance(station.id, int)
    # float32 values surface as the shortest decimal that reads back as them
    assert (station.lon, station.lat) == (lon, lat)
    assert station.elevation == elevation
    assert station.level_count == level_count
    assert (station.derived is not None) == analysed
    if analysed:
        assert list(station.derived) == list(vivezeru5.DERIVED_NAMES)


@pytest.mark.parametrize(
    "reader, name, station, level, expected",
    [
        (vivezeru5.read_type5, "sounding_type5.txt", 1, 4, (500, 560, -32, -42, 290, 25)),
        (vivezeru5.read_type5_plain, "sounding_type5_decimal.txt", 1, 0, (910, 93.5, 12.4, -2.1, 300, 5.6)),
        (vivezeru5.read_rozedu, "sounding_rozedu.txt", 0, 1, (950.0, 49.6, 25.8, 20.3, 185.0, 7.0)),
    ],
)
def test_level_values_in_column_order(levels_kind, examples, reader, name, station, level, expected):
    levels = reader(examples / name).stations[station].levels
    assert rows(levels)[level] == tuple(f32(v) for v in expected)
    if levels_kind == "numpy":
        assert levels.shape[1] == len(vivezeru5.LEVEL_COLUMNS) and str(levels.dtype) == "float32"


def test_standard_level_indices_of_the_type5_example(examples):
    # K = T850 - T500 + Td850 - (T700 - Td700); TT = T850 + Td850 - 2 T500
    first, second = vivezeru5.read_type5(examples / "sounding_type5.txt").stations[:2]
    assert first.derived["k_index_c"] == 18 + 9 + 15 - (8 - 2)
    assert first.derived["total_totals_c"] == 18 + 15 + 2 * 9
    assert second.derived["k_index_c"] == -12 + 32 - 18 - (-18 + 28)
    assert second.derived["total_totals_c"] == -12 - 18 + 2 * 32


def test_analysed_station_without_free_convection_has_zero_lfc(examples):
    stable = vivezeru5.read_rozedu(examples / "sounding_rozedu.txt").stations[1]
    for name in ("lfc_pressure_hpa", "lfc_height_dam", "el_pressure_hpa", "cape_jkg"):
        assert stable.derived[name] == 0


def test_surface_example(levels_kind, examples):
    report = vivezeru5.read_surface(examples / "surface_type1.txt")
    assert (report.time.year, report.time.month, report.time.day, report.time.hour) == (26, 12, 8, 6)
    assert [s.id for s in report.stations] == [40101, 40102, 40103, 40104]
    plain, with_pair = report.stations[0], report.stations[1]
    assert (with_pair.lon, with_pair.lat, with_pair.elevation) == (121.45, 31.40, 4.5)
    assert len(with_pair.values) == 26
    assert (with_pair.value(23), with_pair.value(24)) == (1, 2)
    assert (with_pair.value(25), with_pair.value(26)) == (-2.4, -1.3)
    assert (plain.value(25), plain.value(26)) == (vivezeru5.MISSING, vivezeru5.MISSING)
    with pytest.raises(IndexError):
        plain.value(27)


def test_surface_file_ending_early_keeps_complete_stations(write_file):
    values = " ".join(["1"] * 20)
    path = write_file(f"tag 1 short 26 1 2 3 3\n1 100 30 5 {values}\n2 101 31 6 {values}\n3 102 32 7 1 1\n")
    report = vivezeru5.read_surface(path)
    assert [s.id for s in report.stations] == [1, 2]


@pytest.mark.parametrize("missing", [None, -1.0, math.nan])
def test_missing_values_substituted_on_request(levels_kind, write_file, missing):
    path = write_file("diamond 5 gaps\n26 4 2 0 1\n1 118.8 32.0 9 12\n1012 4 18 14 150 4\n925 78 14 -9999 -9999 20\n")
    level = rows(vivezeru5.read_type5_plain(path, missing=missing).stations[0].levels)[1]
    expected_gap = vivezeru5.MISSING if missing is None else missing
    assert level[:3] == (925, 78, 14) and level[5] == 20
    for value in level[3:5]:
        assert value == expected_gap or (math.isnan(expected_gap) and math.isnan(value))


@pytest.mark.parametrize(
    "reader, text",
    [
        (vivezeru5.read_type5, "Diamond 5 capital_tag\n26 1 1 0 1\n1 1 1 1 6\n1000 0 10 5 0 0\n"),
        (vivezeru5.read_type5, "diamond 1 wrong_type\n26 1 1 0 1\n"),
        (vivezeru5.read_type5_plain, "diamond 5 no_stations\n26 1 1 0 0\n"),
        (vivezeru5.read_surface, "tag 1 incomplete 26 1 1 0 2\n1 100 30\n"),
    ],
)
def test_rejected_files_raise(write_file, reader, text):
    path = write_file(text)
    with pytest.raises(vivezeru5.VivezeruError, match=str(path)):
        reader(path)


@pytest.mark.parametrize(
    "reader", [vivezeru5.read_type5, vivezeru5.read_type5_plain, vivezeru5.read_rozedu, vivezeru5.read_surface]
)
def test_missing_file_raises_oserror_and_prints_nothing(capfd, tmp_path, reader):
    path = tmp_path / "absent.txt"
    with pytest.raises(OSError, match="absent.txt") as raised:
        reader(path)
    assert raised.value.errno == errno.ENOENT
    assert capfd.readouterr() == ("", "")


def test_empty_characteristic_level_file_has_no_stations(write_file):
    sounding = vivezeru5.read_rozedu(write_file(""))
    assert sounding.stations == [] and sounding.time is None


LINES = "New Method ... NegEngBLFC end\nNew Method ... EL end\n"


@pytest.mark.parametrize(
    "reader, name, options, out",
    [
        (vivezeru5.read_type5_plain, "sounding_type5.txt", {}, ""),
        (vivezeru5.read_type5, "sounding_type5.txt", {}, ""),
        (vivezeru5.read_type5, "sounding_type5.txt", {"progress": True}, LINES),
        (vivezeru5.read_rozedu, "sounding_rozedu.txt", {"progress": True}, LINES),
        (vivezeru5.read, "sounding_type5.txt", {}, ""),
        (vivezeru5.read, "sounding_type5.txt", {"progress": True}, LINES),
    ],
)
def test_progress_lines_only_when_asked_for(capfd, examples, reader, name, options, out):
    print("before", flush=True)
    reader(examples / name, **options)
    print("after", flush=True)
    assert capfd.readouterr().out == "before\n" + out + "after\n"


@pytest.mark.parametrize(
    "name, format_name, length, terminator",
    [
        # 5 * 3 + 5 + 168 values + 19 * 3 + 1 = 246; the block holds one more.
        ("sounding_type5.txt", "type5", 247, 246),
        # 5 * 3 + 7 + 168 = 190 floats, terminator last.
        ("sounding_type5.txt", "type5-plain", 190, 189),
        # 6 + (5 + 54 + 19) + (5 + 48 + 19) = 156.
        ("sounding_rozedu.txt", "rozedu", 157, 156),
    ],
)
def test_raw_sounding_blocks(levels_kind, examples, name, format_name, length, terminator):
    block = vivezeru5.read_raw(examples / name, format_name)
    assert len(block) == length
    assert block[terminator] == vivezeru5.MISSING


def test_raw_surface_block(examples):
    block = vivezeru5.read_raw(examples / "surface_type1.txt", "surface")
    assert len(block) == 5 + 26 * 4
    assert list(block[:5]) == [26, 12, 8, 6, 4]


def test_raw_rejects_unknown_format(examples):
    with pytest.raises(ValueError, match="type5-plain"):
        vivezeru5.read_raw(examples / "sounding_type5.txt", "type2")


def test_threads_read_their_own_files(examples):
    expected = {
        "type5": rows(vivezeru5.read_type5_plain(examples / "sounding_type5.txt").stations[2].levels),
        "rozedu": rows(vivezeru5.read_rozedu(examples / "sounding_rozedu.txt").stations[0].levels),
    }
    results, errors = [], []

    def work(kind):
        try:
            for _ in range(20):
                if kind == "type5":
                    got = rows(vivezeru5.read_type5_plain(examples / "sounding_type5.txt").stations[2].levels)
                else:
                    got = rows(vivezeru5.read_rozedu(examples / "sounding_rozedu.txt").stations[0].levels)
                results.append(got == expected[kind])
        except Exception as error:  # pragma: no cover - reported below
            errors.append(error)

    threads = [threading.Thread(target=work, args=(kind,)) for kind in ("type5", "rozedu") * 2]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert not errors and len(results) == 80 and all(results)


def test_library_path_from_environment_is_used(examples):
    code = "import vivezeru5; vivezeru5.read_type5_plain(%r)" % str(examples / "sounding_type5.txt")
    environment = dict(os.environ, VIVEZERU5_LIBRARY="/nonexistent/libvivezeru5.so")
    result = subprocess.run([sys.executable, "-c", code], env=environment, capture_output=True, text=True)
    assert result.returncode != 0
    assert ("VivezeruError: cannot load the vivezeru5 companion library from "
            "'/nonexistent/libvivezeru5_reading.so'") in result.stderr


def test_missing_heights_replaced_with_the_missing_value(write_file):
    # The second level's height is 9999, the levels' mark of a missing height.
    path = write_file("diamond 5 h\n26 1 1 0 1\n7 1 2 3 12\n1000 0 10 5 0 0\n900 9999 5 0 10 5\n")
    assert [float(row[1]) for row in vivezeru5.read_type5(path).stations[0].levels] == [0.0, 9999.0]
    assert [float(row[1]) for row in vivezeru5.read_type5(path, missing=-1.0).stations[0].levels] == [0.0, -1.0]
