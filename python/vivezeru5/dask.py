"""Whole archives of sounding files as one Dask dataframe of station rows.

    >>> import vivezeru5.dask
    >>> frame = vivezeru5.dask.read_archive("archive/**/*.txt")
    >>> frame.compute()

Each task reads `files_per_partition` files with `vivezeru5.read_many` on the
worker, which loads the shared library itself, so workers need the package and
the library but nothing is shipped from the client. The rows and columns are
those of `Archive.to_dataframe()`: the columns of `Sounding.to_dataframe()`
and `problems`, each file's problems one per line. With return_problems=True
a second, delayed, result gathers the problems and the skipped files for the
client; compute both at once (`dask.compute(frame, problems)`) so that the
files are read once.
"""
from typing import List, NamedTuple, Optional

import dask
import dask.dataframe

from ._blocks import Skipped
from ._readers import expand_paths, read_archive_files

# Measured on 400 and 4,000 one-station files with two worker processes
# (BENCHMARKS.md): fewer, larger tasks cost less scheduling and transfer,
# but 400 files want a partition per worker to keep both busy.
FILES_PER_PARTITION = 200


class Problems(NamedTuple):
    """What the tasks of `read_archive` met: each file's problems (as in
    `Sounding.problems`) and, with errors="skip", the files left out."""

    problems: List[str]
    skipped: List[Skipped]


def _meta():
    from ._frames import stations_frame

    return stations_frame([], problems=True)


def _partition(paths, format: Optional[str], missing: Optional[float], honest: bool, errors: str):
    archive = read_archive_files(paths, format, missing, honest, 1, errors)
    return archive.to_dataframe(), Problems(archive.problems, archive.skipped)


def _gathered(reports) -> Problems:
    return Problems([p for report in reports for p in report.problems],
                    [s for report in reports for s in report.skipped])


def read_archive(
    paths_or_glob,
    format: Optional[str] = None,
    missing: Optional[float] = None,
    honest: bool = False,
    *,
    files_per_partition: int = FILES_PER_PARTITION,
    errors: str = "raise",
    return_problems: bool = False,
):
    """A Dask dataframe with one row per station of every sounding file named.

    `paths_or_glob` is a list of paths or one glob pattern ("**" descends into
    directories). Files are taken in the order given (a pattern's matches
    sorted), `files_per_partition` to a partition (one task). `format`,
    `missing`, `honest` and `errors` are those of `vivezeru5.read_many`: with
    errors="raise" a file that cannot be read fails the computation, with
    errors="skip" it is left out. The column `problems` holds each file's
    problems. With return_problems=True returns (frame, problems), where
    `problems` is a dask Delayed of a `Problems` (every file's problems, the
    skipped files): compute it with the frame, `dask.compute(frame, problems)`."""
    if files_per_partition < 1:
        raise ValueError(f"files_per_partition={files_per_partition}; at least 1")
    paths = expand_paths(paths_or_glob)
    groups = [paths[start:start + files_per_partition] for start in range(0, len(paths), files_per_partition)]
    task = dask.delayed(_partition, pure=False, nout=2)  # the files may change between computations
    parts = [task(group, format, missing, honest, errors) for group in groups]
    frame = dask.dataframe.from_delayed([frame for frame, _ in parts], meta=_meta(), verify_meta=False)
    if not return_problems:
        return frame
    return frame, dask.delayed(_gathered, pure=False)([report for _, report in parts])
