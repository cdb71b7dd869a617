"""Python access to the vivezeru5 readers of Velmor station data files.

Each reader takes the path of one file and returns Python objects; the block
of floats the C library allocates is copied and released before returning.
`read` recognises the format itself and also takes bytes, binary file objects
and gzip-compressed files.

    >>> import vivezeru5
    >>> sounding = vivezeru5.read("examples/sounding_type5.txt")
    >>> station = sounding.stations[0]
    >>> station.levels[0]          # pressure, height, T, Td, direction, speed
    >>> station.derived["cape_jkg"], station.flags["cape_jkg"]
    >>> sounding.to_dataframe()    # with pandas: one row per station

Values surface as the shortest decimal that reads back as the block's float32
(36.12, not 36.119998931884766); numpy level arrays keep the float32 values.

Every derived value of an analysed station carries a quality flag from the
library's analysis (one of FLAG_NAMES, or None; FLAG_REASONS says what each
means). A flag says that the value means nothing (missing_level, nan,
not_reached) or that it is a real value with a caveat (no_lfc, el_not_found,
parcel_disagrees). With honest=True a value that means nothing is NaN; the
flags are there either way.

Units: pressure hPa, height geopotential dam, temperature and dew point °C,
wind direction degrees (from), wind speed m/s, elevation as in the file (m).
Values a file does not supply are MISSING (-9999.0) unless another value is
asked for with ``missing=`` (for example ``missing=float("nan")``).

Levels are a numpy array of shape (n, 6), dtype float32, when numpy can be
imported, and a list of 6-tuples of floats otherwise.

The analysing readers' progress lines ("New Method ... NegEngBLFC end",
"New Method ... EL end") are not written unless progress=True asks for them;
then the library hands them to the package, which writes them to sys.stdout.
Nothing else a program prints is touched, and several threads may read at once.

A file that declares more than the reader got from it (stations, level values)
or has text after its last station is still read; each problem is issued as a
VivezeruWarning and listed in the result's `problems`.

The package reads through the companion library of vivezeru5
(libvivezeru5_reading), looked up in this order: the path in the environment
variable VIVEZERU5_READING_LIBRARY, the companion beside the library named by
VIVEZERU5_LIBRARY, one next to this package, then the system's loader.
"""
from ._blocks import (
    DERIVED_DESCRIPTIONS,
    DERIVED_NAMES,
    DERIVED_UNITS,
    LEVEL_COLUMNS,
    LEVEL_UNITS,
    MISSING,
    Archive,
    ObservationTime,
    Skipped,
    Sounding,
    SoundingStation,
    SurfaceReport,
    SurfaceStation,
)
from ._library import (
    VivezeruError,
    VivezeruFileNotFoundError,
    VivezeruIsADirectoryError,
    VivezeruNotADirectoryError,
    VivezeruPermissionError,
    library_path,
)
from ._readers import (
    FORMAT_NAMES,
    VivezeruWarning,
    read,
    read_many,
    read_raw,
    read_rozedu,
    read_surface,
    read_type5,
    read_type5_plain,
)

__all__ = [
    "Archive",
    "DERIVED_DESCRIPTIONS",
    "DERIVED_NAMES",
    "DERIVED_UNITS",
    "FLAG_NAMES",
    "FLAG_REASONS",
    "FORMAT_NAMES",
    "LEVEL_COLUMNS",
    "LEVEL_UNITS",
    "MISSING",
    "ObservationTime",
    "Skipped",
    "Sounding",
    "SoundingStation",
    "SurfaceReport",
    "SurfaceStation",
    "VivezeruError",
    "VivezeruFileNotFoundError",
    "VivezeruIsADirectoryError",
    "VivezeruNotADirectoryError",
    "VivezeruPermissionError",
    "VivezeruWarning",
    "library_path",
    "read",
    "read_many",
    "read_raw",
    "read_rozedu",
    "read_surface",
    "read_type5",
    "read_type5_plain",
]

__version__ = "0.1.0"


def __getattr__(name):
    # FLAG_NAMES and FLAG_REASONS come from the library, loaded on first use.
    from . import _flags

    if name == "FLAG_NAMES":
        return _flags.flag_names()
    if name == "FLAG_REASONS":
        return _flags.flag_reasons()
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
