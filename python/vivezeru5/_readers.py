"""The four readers, and `read`, which lets the library recognise the format."""
import dataclasses
import gzip
import os
import tempfile
import warnings
from typing import Optional

from . import _blocks, _library
from ._library import VivezeruError

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
        raise VivezeruError(reading.open_error, f"{shown}: cannot open the file: {os.strerror(reading.open_error)}")
    if reading.status == _library.UNRECOGNISED:
        raise VivezeruError(f"{shown}: format not recognised; name it with format= ({', '.join(FORMAT_NAMES)})")
    if reading.status != _library.READ:
        reader = {"type5": "readVelmorData5", "type5-plain": "readVelmor5Only", "rozedu": "readRozeduData",
                  "surface": "ReadVelmorData1"}[reading.format]
        raise VivezeruError(f"{shown}: {reader} could not read the file")
    return reading


def _result(path, format_name, shown, missing, honest, progress):
    """Reads `path` as `format_name` (recognised when None) and builds the result."""
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
    for problem in problems:
        warnings.warn(problem, VivezeruWarning, stacklevel=3)  # the caller of read*
    return dataclasses.replace(result, format=reading.format, source=shown, problems=problems)


def read_type5(path, missing: Optional[float] = None, *, honest: bool = False, progress: bool = False):
    """Type-5 soundings with integer levels, analysed (readVelmorData5)."""
    return _result(path, "type5", os.fsdecode(path), missing, honest, progress)


def read_type5_plain(path, missing: Optional[float] = None):
    """Type-5 soundings with levels read as decimals, not analysed (readVelmor5Only)."""
    return _result(path, "type5-plain", os.fsdecode(path), missing, False, False)


def read_rozedu(path, missing: Optional[float] = None, *, honest: bool = False, progress: bool = False):
    """Characteristic-level soundings, analysed (readRozeduData). No time, no elevation."""
    return _result(path, "rozedu", os.fsdecode(path), missing, honest, progress)


def read_surface(path, missing: Optional[float] = None):
    """Type-1 surface reports (ReadVelmorData1): the stations with values."""
    return _result(path, "surface", os.fsdecode(path), missing, False, False)


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
        raise VivezeruError(error.errno, f"{os.fsdecode(path)}: cannot open the file: {error.strerror}") from error
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
    honest=True every derived value whose flag says it means nothing is NaN."""
    path, contents, shown = _source_contents(source)
    if contents is not None and contents.startswith(_GZIP_MAGIC):
        contents = gzip.decompress(contents)
    if format is not None and format not in _FORMATS:
        raise ValueError(f"unknown format {format!r}; one of {', '.join(FORMAT_NAMES)}")
    if path is not None:
        return _result(path, format, shown, missing, honest, progress)
    handle, temporary = tempfile.mkstemp(suffix=".txt", prefix="vivezeru5-")
    try:
        with os.fdopen(handle, "wb") as file:
            file.write(contents)
        return _result(temporary, format, shown, missing, honest, progress)
    finally:
        os.unlink(temporary)


def read_raw(path, format_name: str):
    """The reader's block itself, as a numpy float32 array or an array('f'):
    every float the block holds (for a surface block, 5 + 26 per declared
    station). format_name is one of type5, type5-plain, rozedu, surface."""
    if format_name not in _FORMATS:
        raise ValueError(f"unknown format {format_name!r}; one of {', '.join(_FORMATS)}")
    return _blocks.raw_values(_read(path, format_name, os.fsdecode(path)).block)
