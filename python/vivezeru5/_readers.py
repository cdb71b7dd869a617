"""The four readers, and `read`, which lets the library recognise the format."""
import dataclasses
import glob
import gzip
import os
import tempfile
import warnings
import zlib
from concurrent.futures import ThreadPoolExecutor
from typing import Iterable, List, Optional, Union

from . import _blocks, _library
from ._blocks import Archive, Skipped
from ._library import VivezeruError, cannot_open

# format name -> (sounding block?, carries elevation?)
_FORMATS = {
    "type5": (True, True),
    "type5-plain": (True, True),
    "rozedu": (True, False),
    "surface": (False, False),
}
FORMAT_NAMES = tuple(_FORMATS)
_GZIP_MAGIC = b"\x1f\x8b"


class VivezeruWarning(UserWarning):
    """A problem with a file that was read all the same (also in the result's `problems`)."""


def _read(path, format_name: Optional[str], shown: str, progress: bool = False) -> _library.Reading:
    """The library's reading of `path`; VivezeruError when it returns no block."""
    reading = _library.read_file(path, format_name, progress)
    if reading.status == _library.CANNOT_OPEN:
        raise cannot_open(reading.open_error, shown)
    if reading.status == _library.UNRECOGNISED:
        raise VivezeruError(f"{shown}: format not recognised; name it with format= ({', '.join(FORMAT_NAMES)})")
    if reading.status != _library.READ:
        reader = {"type5": "readVelmorData5", "type5-plain": "readVelmor5Only", "rozedu": "readRozeduData",
                  "surface": "ReadVelmorData1"}[reading.format]
        raise VivezeruError(f"{shown}: {reader} could not read the file")
    return reading


def _result(path, format_name, shown, missing, honest, progress, warn=True):
    """Reads `path` as `format_name` (recognised when None) and builds the
    result; with `warn`, issues each problem as a VivezeruWarning."""
    reading = _read(path, format_name, shown, progress)
    is_sounding, carries_elevation = _FORMATS[reading.format]
    analysed = _library.format_analysed(reading.format)
    if is_sounding:
        result = _blocks.sounding(
            reading.block,
            analysed=analysed,
            carries_elevation=carries_elevation,
            missing=missing,
            honest=honest and analysed,
            flags=reading.flags,
        )
    else:
        result = _blocks.surface(reading.block, missing=missing)
    problems = [f"{shown}: {problem}" for problem in reading.problems]
    for problem in problems if warn else ():
        warnings.warn(problem, VivezeruWarning, stacklevel=4)  # the caller of read*
    time = result.time
    if time is not None and reading.year_as_written is not None:
        time = dataclasses.replace(time, year_as_written=reading.year_as_written)
    return dataclasses.replace(result, format=reading.format, source=shown, problems=problems, time=time)


def read_type5(path, missing: Optional[float] = None, *, honest: bool = False, progress: bool = False):
    """Type-5 soundings with integer levels, analysed (readVelmorData5)."""
    return _read_source(path, "type5", missing, honest, progress, warn=True)


def read_type5_plain(path, missing: Optional[float] = None):
    """Type-5 soundings with levels read as decimals, not analysed (readVelmor5Only)."""
    return _read_source(path, "type5-plain", missing, False, False, warn=True)


def read_rozedu(path, missing: Optional[float] = None, *, honest: bool = False, progress: bool = False):
    """Characteristic-level soundings, analysed (readRozeduData). No time, no elevation."""
    return _read_source(path, "rozedu", missing, honest, progress, warn=True)


def read_surface(path, missing: Optional[float] = None):
    """Type-1 surface reports (ReadVelmorData1): the stations with values."""
    return _read_source(path, "surface", missing, False, False, warn=True)


def _source_contents(source):
    """(path or None, contents or None, name shown in messages) of a path, bytes or binary file object.
    A path's contents are looked at only for the gzip magic bytes."""
    if isinstance(source, (bytes, bytearray, memoryview)):
        return None, bytes(source), "<bytes>"
    if hasattr(source, "read"):
        contents = source.read()
        if not isinstance(contents, (bytes, bytearray)):
            raise TypeError("read() takes a binary file object (opened with 'rb')")
        return None, bytes(contents), str(getattr(source, "name", "<file object>"))
    path = os.fspath(source)
    try:
        with open(path, "rb") as file:
            if file.read(len(_GZIP_MAGIC)) == _GZIP_MAGIC:
                file.seek(0)
                return None, file.read(), os.fsdecode(path)
    except IsADirectoryError:
        pass  # the library says it cannot read it
    except OSError as error:
        raise cannot_open(error.errno, path) from error
    return path, None, os.fsdecode(path)


def read(
    source,
    format: Optional[str] = None,
    missing: Optional[float] = None,
    *,
    honest: bool = False,
    progress: bool = False,
):
    """Reads a file of any of the four formats, recognised as the command-line
    tool does unless `format` names one (type5, type5-plain, rozedu, surface).

    `source` is a path, bytes, or a binary file object; gzip-compressed
    contents (a .gz file) are decompressed. Contents that are not a plain file
    on disk go to the library through a temporary file. Returns a Sounding or
    a SurfaceReport whose `problems` lists what the file declares but the
    reader did not get (each also issued as a VivezeruWarning). With
    honest=True every derived value whose flag says it means nothing is NaN.

    Raises VivezeruError for a file that cannot be read: for one that cannot
    be opened, the subclass that is also FileNotFoundError, PermissionError,
    ... as its errno says."""
    return _read_source(source, format, missing, honest, progress, warn=True)


def _read_source(source, format, missing, honest, progress, warn):
    path, contents, shown = _source_contents(source)
    if contents is not None and contents.startswith(_GZIP_MAGIC):
        try:
            contents = gzip.decompress(contents)
        except (EOFError, OSError, zlib.error) as error:
            raise VivezeruError(f"{shown}: not a readable gzip file: {error}") from error
    if format is not None and format not in _FORMATS:
        raise ValueError(f"unknown format {format!r}; one of {', '.join(FORMAT_NAMES)}")
    if path is not None:
        return _result(path, format, shown, missing, honest, progress, warn)
    handle, temporary = tempfile.mkstemp(suffix=".txt", prefix="vivezeru5-")
    try:
        with os.fdopen(handle, "wb") as file:
            file.write(contents)
        return _result(temporary, format, shown, missing, honest, progress, warn)
    finally:
        os.unlink(temporary)


def expand_paths(paths_or_glob: Union[str, os.PathLike, Iterable]) -> List[str]:
    """The paths of a list of paths, or the sorted matches of one glob pattern
    ("**" descends into directories); FileNotFoundError when there are none."""
    if isinstance(paths_or_glob, (str, os.PathLike)):
        pattern = os.fspath(paths_or_glob)
        paths = sorted(glob.glob(pattern, recursive=True)) if glob.has_magic(pattern) else [pattern]
    else:
        paths = [os.fspath(path) for path in paths_or_glob]
    if not paths:
        raise FileNotFoundError(f"no file matches {paths_or_glob!r}")
    return paths


_ERROR_CHOICES = ("raise", "skip")


def read_many(
    paths_or_glob,
    format: Optional[str] = None,
    missing: Optional[float] = None,
    *,
    honest: bool = False,
    threads: Optional[int] = None,
    errors: str = "raise",
) -> Archive:
    """Reads many sounding files into one Archive, whose `to_dataframe()` and
    `levels_dataframe()` are one frame each for all files.

    `paths_or_glob` is a list of paths or one glob pattern ("**" descends into
    directories); files are taken in the order given (a pattern's matches
    sorted). `format`, `missing` and `honest` are those of `read`. `threads`
    files are read at a time (default: the number of cores). With
    errors="raise" the first file in order that cannot be read raises its
    error; with errors="skip" such files are left out and listed in the
    archive's `skipped`, each also issued as a VivezeruWarning. Surface files
    count as files that cannot be read. Each problem of a file read is issued
    as a VivezeruWarning and is in the archive's `problems`."""
    archive = read_archive_files(expand_paths(paths_or_glob), format, missing, honest, threads, errors)
    for problem in archive.problems:
        warnings.warn(problem, VivezeruWarning, stacklevel=2)
    for file, reason in archive.skipped:
        warnings.warn(f"skipped {file}: {reason}", VivezeruWarning, stacklevel=2)
    return archive


def read_archive_files(paths: List[str], format, missing, honest, threads, errors) -> Archive:
    """`read_many` of a list of paths, issuing no warning."""
    if errors not in _ERROR_CHOICES:
        raise ValueError(f"errors={errors!r}; one of {', '.join(map(repr, _ERROR_CHOICES))}")
    if format is not None and format not in _FORMATS:
        raise ValueError(f"unknown format {format!r}; one of {', '.join(FORMAT_NAMES)}")

    def one(path):
        try:
            result = _read_source(path, format, missing, honest, False, warn=False)
            if not isinstance(result, _blocks.Sounding):
                raise ValueError(f"{result.source}: {result.format} files hold no soundings")
            return result
        except (VivezeruError, ValueError) as error:
            if errors == "raise":
                raise
            return Skipped(os.fsdecode(path), str(error))

    workers = min(threads or os.cpu_count() or 1, len(paths))
    if workers <= 1:
        outcomes = [one(path) for path in paths]
    else:
        # A task reads a run of files: a task per file costs the pool more
        # than reading a one-station file does.
        size = max(1, min(32, len(paths) // (4 * workers)))
        with ThreadPoolExecutor(max_workers=workers) as pool:
            runs = pool.map(lambda start: [one(path) for path in paths[start:start + size]], range(0, len(paths), size))
            outcomes = [outcome for run in runs for outcome in run]
    return Archive(soundings=[o for o in outcomes if not isinstance(o, Skipped)],
                   skipped=[o for o in outcomes if isinstance(o, Skipped)])


def read_raw(path, format_name: str):
    """The reader's block itself, as a numpy float32 array or an array('f'):
    every float the block holds (for a surface block, 5 + 26 per declared
    station). format_name is one of type5, type5-plain, rozedu, surface."""
    if format_name not in _FORMATS:
        raise ValueError(f"unknown format {format_name!r}; one of {', '.join(_FORMATS)}")
    return _blocks.raw_values(_read(path, format_name, os.fsdecode(path)).block)
