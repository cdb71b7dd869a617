"""The tool's CSV and JSON read back with Python's own csv and json modules.

For every file: both tables hold the same stations, the same values (as 32-bit
floats) and the same flags; a flagged value is null in JSON with its raw value
beside it. Then the flags a meteorologist expects on known soundings.

usage: parse_back.py TOOL SOURCE_DIR SCRATCH_DIR [REAL_SOUNDINGS_DIR]
"""

import csv
import io
import json
import math
import os
import struct
import subprocess
import sys

TOOL, SOURCE, SCRATCH = sys.argv[1:4]
REAL = sys.argv[4] if len(sys.argv) > 4 else ""

FLAGS = {"missing_level", "nan", "no_lfc", "el_not_found", "not_reached", "parcel_disagrees"}
# A value with one of these means nothing: JSON writes it as null, with the number as _raw.
MEANINGLESS_FLAGS = {"missing_level", "nan", "not_reached"}

# (file, station, column, expected flag or "" for none). Paths under real/ are
# the real soundings; the others are relative to the source directory.
EXPECTED = [
    # No 500 hPa level: every index built from T500 is flagged, the parcel is not.
    ("real/type5_int/JAN_2000072700.txt", "72235", "k_index_c", "missing_level"),
    ("real/type5_int/JAN_2000072700.txt", "72235", "total_totals_c", "missing_level"),
    ("real/type5_int/JAN_2000072700.txt", "72235", "sweat_index", "missing_level"),
    ("real/type5_int/JAN_2000072700.txt", "72235", "showalter_index_k", "missing_level"),
    ("real/type5_int/JAN_2000072700.txt", "72235", "surface_lifted_index_k", "missing_level"),
    ("real/type5_int/JAN_2000072700.txt", "72235", "cape_jkg", ""),
    ("real/type5_int/JAN_2000072700.txt", "72235", "lcl_pressure_hpa", ""),
    ("real/rozedu/JAN_2000072700.txt", "72235", "k_index_c", "missing_level"),
    ("real/rozedu/JAN_2000072700.txt", "72235", "showalter_index_k", "missing_level"),
    # 850 hPa below ground, surface above 900 hPa: K, total totals and SWEAT are
    # not computed, the Showalter index is built from a missing level; the
    # surface lifted index (one step to 500 hPa) has the other sign than the parcel.
    ("real/type5_int/FGZ_2003090800.txt", "72376", "k_index_c", "not_reached"),
    ("real/type5_int/FGZ_2003090800.txt", "72376", "showalter_index_k", "missing_level"),
    ("real/type5_int/FGZ_2003090800.txt", "72376", "surface_lifted_index_k", "parcel_disagrees"),
    ("real/type5_int/FGZ_2003090800.txt", "72376", "cape_jkg", ""),
    ("real/type5_int/DNR_2001060800.txt", "72469", "total_totals_c", "not_reached"),
    ("real/type5_int/DNR_2001060800.txt", "72469", "sweat_index", "not_reached"),
    ("real/rozedu/DNR_2001060800.txt", "72469", "k_index_c", "not_reached"),
    # Surface above 900 hPa with 850 hPa above ground: not computed, not missing.
    ("real/type5_int/SLC_2000090200.txt", "72572", "k_index_c", "not_reached"),
    ("real/type5_int/SLC_2000090200.txt", "72572", "showalter_index_k", "parcel_disagrees"),
    # No LFC: CIN is the whole sounding's negative area; LFC and EL not reached;
    # CAPE 0 is the answer, a value.
    ("real/type5_int/BRW_2010060100.txt", "70026", "cin_jkg", "no_lfc"),
    ("real/type5_int/BRW_2010060100.txt", "70026", "cape_jkg", ""),
    ("real/type5_int/BRW_2010060100.txt", "70026", "lfc_pressure_hpa", "not_reached"),
    ("real/type5_int/BRW_2010060100.txt", "70026", "el_pressure_hpa", "not_reached"),
    ("real/type5_int/BRW_2010060100.txt", "70026", "bulk_richardson_number", "not_reached"),
    ("real/type5_int/BRW_2010060100.txt", "70026", "lcl_pressure_hpa", ""),
    ("real/rozedu/BRW_2010060100.txt", "70026", "cin_jkg", "no_lfc"),
    # CAPE accumulated, EL 0: CAPE and the bulk Richardson number say so.
    ("real/type5_int/OAX_2014061619.txt", "72558", "cape_jkg", "el_not_found"),
    ("real/type5_int/OAX_2014061619.txt", "72558", "el_pressure_hpa", "not_reached"),
    ("real/type5_int/OAX_2014061619.txt", "72558", "bulk_richardson_number", "el_not_found"),
    ("real/type5_int/OAX_2014061619.txt", "72558", "cin_jkg", ""),
    ("real/type5_int/OAX_2014061619.txt", "72558", "lfc_pressure_hpa", ""),
    # A complete convective sounding: nothing flagged.
    ("real/type5_int/BNA_2014072800.txt", "72327", "cape_jkg", ""),
    ("real/type5_int/BNA_2014072800.txt", "72327", "k_index_c", ""),
    ("examples/sounding_rozedu.txt", "20101", "cape_jkg", "el_not_found"),
    ("examples/sounding_rozedu.txt", "20102", "cin_jkg", "no_lfc"),
    ("examples/sounding_type5.txt", "10003", "k_index_c", "not_reached"),
    ("examples/sounding_type5.txt", "10001", "k_index_c", ""),
    ("tests/cli/data/type5_flags.txt", "40004", "freezing_height_dam", "not_reached"),
    ("tests/cli/data/type5_flags.txt", "40005", "mean_wind_speed_ms", "not_reached"),
    ("tests/cli/data/type5_flags.txt", "40003", "sweat_index", "missing_level"),
    ("tests/cli/data/type5_flags.txt", "40003", "cape_jkg", ""),
]

failures = []


def fail(message):
    failures.append(message)


def run(*arguments, cwd=SOURCE):
    result = subprocess.run([TOOL, *arguments], cwd=cwd, capture_output=True, text=True)
    return result.returncode, result.stdout, result.stderr


def as_float32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def same(csv_text, json_number):
    value = float(csv_text)
    if math.isnan(value):
        return json_number is None
    return json_number is not None and as_float32(value) == as_float32(json_number)


def check_file(path, cwd, expected_status):
    status, csv_text, csv_err = run("show", "--csv", path, cwd=cwd)
    json_status, json_text, _ = run("show", "--json", path, cwd=cwd)
    text_status, text, _ = run("show", path, cwd=cwd)
    if (status, json_status, text_status) != (expected_status,) * 3:
        fail(f"{path}: exit statuses {status}, {json_status}, {text_status}, expected {expected_status}: {csv_err}")
    rows = list(csv.DictReader(io.StringIO(csv_text)))
    document = json.loads(json_text)
    stations = document["stations"]
    if len(rows) != len(stations):
        fail(f"{path}: {len(rows)} CSV rows, {len(stations)} JSON stations")
    if expected_status == 3 and not document["problems"]:
        fail(f"{path}: read with problems, but the JSON lists none")
    for row, station in zip(rows, stations):
        if row["station"] != str(station["station"]):
            fail(f"{path}: station {row['station']} against {station['station']}")
        if station.get("level_count") is not None and len(station["levels"]) != station["level_count"]:
            fail(f"{path}: station {row['station']}: {len(station['levels'])} levels in JSON")
        for column, cell in row.items():
            if not column.endswith("_flag"):
                continue
            key = column[: -len("_flag")]
            flag = station[column] or ""
            if cell != flag:
                fail(f"{path}: {row['station']} {key}: CSV flag '{cell}', JSON flag '{flag}'")
            if flag and flag not in FLAGS:
                fail(f"{path}: {row['station']} {key}: unknown flag '{flag}'")
            meaningless = flag in MEANINGLESS_FLAGS
            json_value = station[key + "_raw"] if meaningless else station[key]
            if meaningless and station[key] is not None:
                fail(f"{path}: {row['station']} {key}: flagged as meaning nothing but not null in JSON")
            if flag and not meaningless and key + "_raw" in station:
                fail(f"{path}: {row['station']} {key}: a value with a caveat written as raw")
            if not same(row[key], json_value):
                fail(f"{path}: {row['station']} {key}: CSV {row[key]}, JSON {json_value}")
        if "*" in row.values():
            fail(f"{path}: a mark leaked into the CSV")
    flagged = any(cell for column, cell in (item for row in rows for item in row.items()) if column.endswith("_flag"))
    if flagged and "\n  * " not in text:
        fail(f"{path}: flagged values but no footnote in show")
    return {(path, row["station"]): row for row in rows}


def files_under(directory):
    """The converted soundings: the .txt files at the top and in the format folders (not the sources in raw/)."""
    for folder in ["", "type5_int", "type5_dec", "rozedu", "filled", "peer"]:
        names = sorted(os.listdir(os.path.join(directory, folder))) if os.path.isdir(os.path.join(directory, folder)) else []
        for name in names:
            if name.endswith(".txt"):
                yield os.path.join(directory, folder, name)


tables = {}
for name in ["examples/sounding_type5.txt", "examples/sounding_rozedu.txt", "examples/sounding_type5_decimal.txt",
             "examples/surface_type1.txt", "tests/cli/data/type5_flags.txt"]:
    tables.update(check_file(name, SOURCE, 0))
for name in ["tests/cli/data/type5_truncated.txt", "tests/cli/data/type5_corrupted_id.txt",
             "tests/cli/data/rozedu_truncated.txt"]:
    tables.update(check_file(name, SOURCE, 3))

if REAL and os.path.isdir(REAL):
    real_files = [os.path.relpath(path, REAL) for path in files_under(REAL)]
    for name in real_files:
        for key, row in check_file(name, REAL, 0).items():
            tables[("real/" + key[0], key[1])] = row
    # The batch rows are the show rows, in input order.
    status, batch_text, _ = run("batch", "--json", "-j", "3", *real_files, cwd=REAL)
    batch_rows = json.loads(batch_text)
    show_rows = [station for name in real_files for station in json.loads(run("show", "--json", name, cwd=REAL)[1])["stations"]]
    for station in show_rows:
        del station["levels"]
    if status != 0 or batch_rows != show_rows:
        fail(f"batch --json over {len(real_files)} real files differs from show --json (status {status})")
    # A truncated copy: read with problems, the missing levels named.
    source = os.path.join(REAL, "type5_int", "OAX_2014061619.txt")
    with open(source, "rb") as whole, open(os.path.join(SCRATCH, "OAX_cut.txt"), "wb") as cut:
        cut.write(whole.read(300))
    status, _, errors = run("show", "--csv", "OAX_cut.txt", cwd=SCRATCH)
    if status != 3 or "station 72558: 402 level values declared, 65 converted" not in errors:
        fail(f"truncated copy: status {status}, stderr {errors!r}")
else:
    print(f"SKIPPED real soundings: {REAL or '(none given)'} is absent; examples only")
    EXPECTED = [row for row in EXPECTED if not row[0].startswith("real/")]

for path, station, column, flag in EXPECTED:
    row = tables.get((path, station))
    if row is None:
        fail(f"{path}: no station {station}")
    elif row[column + "_flag"] != flag:
        fail(f"{path}: station {station} {column}: flag '{row[column + '_flag']}', expected '{flag or 'none'}'")

for message in failures:
    print("FAIL", message)
print(f"{len(EXPECTED) + len(tables) - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
