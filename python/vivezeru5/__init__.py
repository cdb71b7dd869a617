"""Python access to the vivezeru5 readers of Velmor station data files.

Each reader takes the path of one file and returns Python objects; the block
of floats the C library allocates is copied and released before returning.

    >>> import vivezeru5
    >>> sounding = vivezeru5.read_type5("examples/sounding_type5.txt")
    >>> station = sounding.stations[0]
    >>> station.levels[0]          # pressure, height, T, Td, direction, speed
    >>> station.derived["cape_jkg"]

Units: pressure hPa, height geopotential dam, temperature and dew point °C,
wind direction degrees (from), wind speed m/s, elevation as in the file (m).
Values a file does not supply are MISSING (-9999.0) unless another value is
asked for with ``missing=`` (for example ``missing=float("nan")``).

Levels are a numpy array of shape (n, 6), dtype float32, when numpy can be
imported, and a list of 6-tuples of floats otherwise.

The analysing readers (read_type5, read_rozedu) let the library write its
progress lines ("New Method ... NegEngBLFC end", "New Method ... EL end") to
the process's standard output, as the C library does; they are flushed before
the call returns.

The shared library is looked up in this order: the path in the environment
variable VIVEZERU5_LIBRARY, a libvivezeru5 next to this package, then the
system's loader (libvivezeru5.so.0).
"""
from ._blocks import (
    DERIVED_NAMES,
    DERIVED_UNITS,
    LEVEL_COLUMNS,
    MISSING,
    ObservationTime,
    Sounding,
    SoundingStation,
    SurfaceReport,
    SurfaceStation,
)
from ._library import VivezeruError, library_path
from ._readers import read_raw, read_rozedu, read_surface, read_type5, read_type5_plain

__all__ = [
    "DERIVED_NAMES",
    "DERIVED_UNITS",
    "LEVEL_COLUMNS",
    "MISSING",
    "ObservationTime",
    "Sounding",
    "SoundingStation",
    "SurfaceReport",
    "SurfaceStation",
    "VivezeruError",
    "library_path",
    "read_raw",
    "read_rozedu",
    "read_surface",
    "read_type5",
    "read_type5_plain",
]

__version__ = "0.1.0"
