"""Checks the SVG that `vivezeru5 skewt` writes.

  check_skewt.py examples TOOL SOURCE_DIR
      every row of CASES: the document parses as XML, holds the parts the row
      expects and not the ones it rules out, and its marked levels sit on the
      curves they belong to.
  check_skewt.py real TOOL DATA_DIR DIGESTS
      every sounding file under DATA_DIR: drawn with status 0, well-formed, and
      byte for byte the diagram whose SHA-256 DIGESTS records (with
      VIVEZERU5_UPDATE_GOLDEN=1 the digests are rewritten instead). Exits 77
      (skipped) when DATA_DIR does not exist.
"""
import hashlib
import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"
SKIPPED = 77

BACKGROUND = ["isobars", "isotherms", "dry-adiabats", "moist-adiabats", "mixing-ratios", "wind-barbs",
              "derived-box", "legend"]
PROFILES = ["temperature", "dewpoint"]
REFERENCE = BACKGROUND + PROFILES
PARCEL = ["parcel", "lcl-marker", "cin-area"]
CONVECTIVE = ["lfc-marker", "el-marker", "cape-area"]

# Without an LFC, CAPE 0 is a value and carries no flag.
NO_LFC = {13: "not_reached", 14: "not_reached", 15: "not_reached", 16: "not_reached", 18: "no_lfc",
          19: "not_reached"}
NO_EL = {16: "not_reached", 17: "el_not_found", 19: "el_not_found"}
# 850 hPa below a surface above 900 hPa: K, total totals and SWEAT not computed.
NO_850 = {3: "not_reached", 4: "not_reached", 5: "not_reached", 6: "missing_level"}
# The method's one-step Showalter and lifted indices against their parcels.
ONE_STEP_DISAGREES = {6: "parcel_disagrees", 12: "parcel_disagrees"}

# Barbs drawn: one a level, bottom up, leaving out a barb whose staff and
# feathers would overlap the barb drawn below it.
# (name, arguments, ids present, ids absent, derived rows, barbs drawn, flags
# shown by slot); a barb closer than 14 units above the one drawn below it is
# left out.
CASES = [
    ("convective", ["--station", "10001", "examples/sounding_type5.txt"],
     REFERENCE + PARCEL + CONVECTIVE, [], 19, 11, ONE_STEP_DISAGREES),
    ("stable_cold", ["--station", "10002", "examples/sounding_type5.txt"],
     REFERENCE + PARCEL, CONVECTIVE, 19, 6, NO_LFC),
    ("high_surface", ["-s", "10003", "examples/sounding_type5.txt"],
     REFERENCE + PARCEL, CONVECTIVE, 19, 6, {**NO_850, **NO_LFC}),
    ("characteristic_levels_without_el", ["examples/sounding_rozedu.txt"],
     REFERENCE + PARCEL + ["lfc-marker", "cape-area"], ["el-marker"], 19, 7, {**ONE_STEP_DISAGREES, **NO_EL}),
    ("not_analysed", ["examples/sounding_type5_decimal.txt"],
     REFERENCE, PARCEL + CONVECTIVE, 0, 7, {}),
    ("station_without_levels", ["--station", "30002", "tests/cli/data/rozedu_no_levels.txt"],
     BACKGROUND, PROFILES + PARCEL + CONVECTIVE, 19, 0, {slot: "not_reached" for slot in range(1, 20)}),
    ("surface_temperature_nan", ["--station", "1", "tests/cli/data/rozedu_hostile_values.txt"],
     BACKGROUND + ["dewpoint"], ["temperature"] + PARCEL + CONVECTIVE, 19, 1, None),
    ("pressures_off_the_diagram", ["--station", "2", "tests/cli/data/rozedu_hostile_values.txt"],
     BACKGROUND, [], 19, 0, None),
]


def draw(tool, arguments, cwd):
    result = subprocess.run([tool, "skewt", *arguments], cwd=cwd, capture_output=True)
    if result.returncode != 0:
        raise AssertionError(f"skewt {' '.join(arguments)}: status {result.returncode}: {result.stderr!r}")
    return result.stdout


def points(element):
    return [tuple(float(v) for v in pair.split(",")) for pair in element.get("points").split()]


def distance_to_line(point, line):
    """Distance from a point to a polyline."""
    best = float("inf")
    for (ax, ay), (bx, by) in zip(line, line[1:]):
        dx, dy = bx - ax, by - ay
        length = dx * dx + dy * dy
        t = 0.0 if length == 0 else max(0.0, min(1.0, ((point[0] - ax) * dx + (point[1] - ay) * dy) / length))
        best = min(best, ((ax + t * dx - point[0]) ** 2 + (ay + t * dy - point[1]) ** 2) ** 0.5)
    return best


def marker_point(root, marker_id):
    circle = root.find(f".//*[@id='{marker_id}']/{SVG}circle")
    return float(circle.get("cx")), float(circle.get("cy"))


def shown_flags(root):
    """The flag each row of the box shows, by slot."""
    flags = {}
    for row in root.iter(SVG + "g"):
        if row.get("class", "").split()[:1] == ["derived"]:
            flag = row.find(f"{SVG}text[@class='flag']")
            if flag is not None:
                flags[int(row.get("data-slot"))] = flag.text
                # A value that means nothing is greyed; one with a caveat is not.
                greyed = "meaningless" in row.get("class").split()
                assert greyed == (flag.text in ("missing_level", "nan", "not_reached")), (flag.text, greyed)
    return flags


def check_case(tool, source, name, arguments, present, absent, rows, barbs, flags):
    root = ElementTree.fromstring(draw(tool, arguments, source))
    assert root.tag == SVG + "svg", f"{name}: root element {root.tag}"
    ids = {element.get("id") for element in root.iter() if element.get("id")}
    for wanted in present:
        assert wanted in ids, f"{name}: no element with id {wanted}"
    for unwanted in absent:
        assert unwanted not in ids, f"{name}: unexpected element with id {unwanted}"
    classes = [element.get("class", "") for element in root.iter()]
    for line_class in ("isotherm", "dry-adiabat", "moist-adiabat", "mixing-ratio", "isobar"):
        assert line_class in classes, f"{name}: no {line_class}"
    derived = [c for c in classes if c.split()[:1] == ["derived"]]
    assert len(derived) == rows, f"{name}: {len(derived)} derived rows, expected {rows}"
    drawn = [c for c in classes if c.split()[:1] == ["barb"]]
    assert len(drawn) == barbs, f"{name}: {len(drawn)} barbs, expected {barbs}"
    if flags is not None:
        assert shown_flags(root) == flags, f"{name}: flags {shown_flags(root)}, expected {flags}"
        meanings = [element.text for element in root.iter(SVG + "text") if element.get("class") == "flag"]
        assert set(meanings[len(flags):]) == set(flags.values()), f"{name}: flag meanings {meanings[len(flags):]}"
    if "parcel" not in present:
        return
    parcel = points(root.find(f".//*[@id='parcel']"))
    temperature = points(root.find(f".//*[@id='temperature']"))
    # The parcel leaves from the surface observation.
    assert parcel[0] == temperature[0], f"{name}: parcel starts at {parcel[0]}, surface at {temperature[0]}"
    # The LCL and EL are levels of the parcel; the LFC carries the environment's temperature.
    for marker, curve in (("lcl-marker", parcel), ("el-marker", parcel), ("lfc-marker", temperature)):
        if marker in present:
            gap = distance_to_line(marker_point(root, marker), curve)
            assert gap < 0.2, f"{name}: {marker} lies {gap:.2f} off its curve"


def check_examples(tool, source):
    failures = []
    for case in CASES:
        try:
            check_case(tool, source, *case)
        except (AssertionError, ElementTree.ParseError) as error:
            failures.append(str(error))
    for failure in failures:
        print(failure)
    print(f"{len(CASES) - len(failures)} of {len(CASES)} cases pass")
    return 1 if failures else 0


def sounding_files(data):
    """Files in the team's text formats; raw/ and peer/ hold source material."""
    found = []
    for directory, subdirectories, files in os.walk(data):
        subdirectories[:] = sorted(d for d in subdirectories if d not in ("raw", "peer"))
        found += [os.path.relpath(os.path.join(directory, f), data) for f in files if f.endswith(".txt")]
    return sorted(found)


def check_real(tool, data, digests_path):
    if not os.path.isdir(data):
        print(f"skipped: no real soundings at {data}")
        return SKIPPED
    digests = {}
    for file in sounding_files(data):
        svg = draw(tool, [file], data)
        ElementTree.fromstring(svg)
        digests[file] = hashlib.sha256(svg).hexdigest()
    if os.environ.get("VIVEZERU5_UPDATE_GOLDEN") == "1":
        with open(digests_path, "w", encoding="utf-8") as out:
            out.writelines(f"{digest}  {file}\n" for file, digest in digests.items())
        print(f"wrote {len(digests)} digests to {digests_path}")
        return 0
    expected = {}
    with open(digests_path, encoding="utf-8") as lines:
        for line in lines:
            digest, file = line.split(maxsplit=1)
            expected[file.strip()] = digest
    differing = sorted(f for f in digests.keys() | expected.keys() if digests.get(f) != expected.get(f))
    for file in differing:
        print(f"{file}: digest {digests.get(file, 'none')}, expected {expected.get(file, 'none')}")
    print(f"{len(digests)} files drawn, {len(differing)} differ from {digests_path}")
    return 1 if differing else 0


def main(argv):
    if len(argv) == 4 and argv[1] == "examples":
        return check_examples(argv[2], argv[3])
    if len(argv) == 5 and argv[1] == "real":
        return check_real(argv[2], argv[3], argv[4])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
