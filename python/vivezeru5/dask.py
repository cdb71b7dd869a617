"""Whole archives of sounding files as one Dask dataframe of station rows.

    >>> import vivezeru5.dask
    >>> frame = vivezeru5.dask.read_archive("archive/**/*.txt")
    >>> frame.compute()

Each file is one task (one partition); the task runs `vivezeru5.read` on the
worker, which loads the shared library itself, so workers need the package and
the library but nothing is shipped from the client. Progress lines stay off as
in `read`. The rows and columns are those of `Sounding.to_dataframe()`.
"""
import glob
import os
from typing import Iterable, Optional, Union

import dask
import dask.dataframe

from ._frames import DERIVED_NAMES, FLAG_COLUMNS, STATION_COLUMNS


def _paths(paths_or_glob: Union[str, os.PathLike, Iterable]) -> list:
    if isinstance(paths_or_glob, (str, os.PathLike)):
        pattern = os.fspath(paths_or_glob)
        paths = sorted(glob.glob(pattern, recursive=True)) if glob.has_magic(pattern) else [pattern]
    else:
        paths = [os.fspath(path) for path in paths_or_glob]
    if not paths:
        raise FileNotFoundError(f"no file matches {paths_or_glob!r}")
    return paths


def _meta():
    import pandas

    columns = {
        "file": object,
        "format": object,
        "time": "datetime64[ns]",
        "station_id": "int64",
        "lon": "float64",
        "lat": "float64",
        "elevation": "float64",
        "level_count": "int64",
        **{name: "float64" for name in DERIVED_NAMES},
        **{name: object for name in FLAG_COLUMNS},
    }
    assert tuple(columns) == STATION_COLUMNS + DERIVED_NAMES + FLAG_COLUMNS
    return pandas.DataFrame({name: pandas.Series(dtype=dtype) for name, dtype in columns.items()})


def _file_frame(path: str, format: Optional[str], missing: Optional[float], honest: bool):
    import vivezeru5

    result = vivezeru5.read(path, format=format, missing=missing, honest=honest)
    if not hasattr(result, "levels_dataframe"):
        raise ValueError(f"{path}: read_archive takes sounding files, not {result.format} files")
    return result.to_dataframe()


def read_archive(
    paths_or_glob,
    format: Optional[str] = None,
    missing: Optional[float] = None,
    honest: bool = False,
):
    """A Dask dataframe with one row per station of every sounding file named.

    `paths_or_glob` is a list of paths or one glob pattern ("**" descends into
    directories). Files are taken in the order given (a pattern's matches
    sorted), one partition each. `format`, `missing` and `honest` are passed
    to `vivezeru5.read`; a file it cannot read fails the computation."""
    parts = [
        dask.delayed(_file_frame, pure=True)(path, format, missing, honest) for path in _paths(paths_or_glob)
    ]
    return dask.dataframe.from_delayed(parts, meta=_meta(), verify_meta=True)
