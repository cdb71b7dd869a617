"""The four readers, and `read`, which recognises the format itself."""
import contextlib
import dataclasses
import gzip
import os
import re
import tempfile
import warnings
from typing import Optional

from . import _blocks
from ._library import VivezeruError, _load, call_reader
from ._progress import progress_lines
from ._recognise import recognise_text
from ._validity import file_problems

# format name -> (C reader, sounding block?, analysed?, element 0 counts the whole block?, carries elevation?)
_FORMATS = {
    "type5": ("readVelmorData5", True, True, False, True),
    "type5-plain": ("readVelmor5Only", True, False, True, True),
    "rozedu": ("readRozeduData", True, True, False, False),
    "surface": ("ReadVelmorData1", False, False, False, False),
}
FORMAT_NAMES = tuple(_FORMATS)
_GZIP_MAGIC = b"\x1f\x8b"


class VivezeruWarning(UserWarning):
    """A problem with a file that was read all the same (also in the result's `problems`)."""


def _block_length(block, is_sounding: bool, counts_whole_block: bool) -> int:
    if is_sounding:
        return _blocks.sounding_length(block[0], counts_whole_block)
    return _blocks.surface_length(block[4])


def _read(path, format_name: str, progress: bool = False) -> bytes:
    reader, is_sounding, analysed, counts_whole_block, _ = _FORMATS[format_name]
    window = progress_lines(progress, _load()[1]) if analysed else contextlib.nullcontext()
    with window, call_reader(reader, path) as block:
        return block.copy(_block_length(block, is_sounding, counts_whole_block))


def _file_text(path) -> Optional[bytes]:
    """The file's contents, up to its end or up to a word longer than the
    readers take (1 MiB), so that a device or pipe whose word never ends is
    read no further than the library reads it. None when it cannot be read."""
    try:
        with open(path, "rb") as file:
            return _readable_text(file)
    except OSError:
        return None


_LONGEST_TOKEN = 1 << 20
_LEADING_WORD = re.compile(rb"[^ \t\n\v\f\r]*")
_TRAILING_WORD = re.compile(rb"[^ \t\n\v\f\r]*\Z")


def _readable_text(file) -> bytes:
    chunks = []
    run = 0  # characters of the word still open at the end of the text so far
    while True:
        chunk = file.read(1 << 16)
        if not chunk:
            return b"".join(chunks)
        head = _LEADING_WORD.match(chunk).end()
        if run + head > _LONGEST_TOKEN:
            chunks.append(chunk[: _LONGEST_TOKEN - run])
            return b"".join(chunks)
        run = run + head if head == len(chunk) else len(_TRAILING_WORD.search(chunk).group())
        chunks.append(chunk)


def _result(path, text, format_name, shown, missing, honest, progress):
    """Reads `path` as `format_name`, checks `text` (the file's contents) against
    what was read, and builds the result."""
    raw = _read(path, format_name, progress)
    _, is_sounding, analysed, _, carries_elevation = _FORMATS[format_name]
    if is_sounding:
        result = _blocks.sounding(
            raw, analysed=analysed, carries_elevation=carries_elevation, missing=missing, honest=honest
        )
    else:
        result = _blocks.surface(raw, missing=missing)
    if text is None:
        text = _file_text(path)
    problems = []
    if text is not None:
        problems = [f"{shown}: {problem}" for problem in file_problems(text, format_name, len(result.stations))]
    for problem in problems:
        warnings.warn(problem, VivezeruWarning, stacklevel=3)  # the caller of read*
    return dataclasses.replace(result, format=format_name, source=shown, problems=problems)


def read_type5(path, missing: Optional[float] = None, *, honest: bool = False, progress: bool = False):
    """Type-5 soundings with integer levels, analysed (readVelmorData5)."""
    return _result(path, None, "type5", os.fsdecode(path), missing, honest, progress)


def read_type5_plain(path, missing: Optional[float] = None):
    """Type-5 soundings with levels read as decimals, not analysed (readVelmor5Only)."""
    return _result(path, None, "type5-plain", os.fsdecode(path), missing, False, False)


def read_rozedu(path, missing: Optional[float] = None, *, honest: bool = False, progress: bool = False):
    """Characteristic-level soundings, analysed (readRozeduData). No time, no elevation."""
    return _result(path, None, "rozedu", os.fsdecode(path), missing, honest, progress)


def read_surface(path, missing: Optional[float] = None):
    """Type-1 surface reports (ReadVelmorData1): the stations with values."""
    return _result(path, None, "surface", os.fsdecode(path), missing, False, False)


def _source_contents(source):
    """(path or None, contents or None, name shown in messages) of a path, bytes or binary file object."""
    if isinstance(source, (bytes, bytearray, memoryview)):
        return None, bytes(source), "<bytes>"
    if hasattr(source, "read"):
        contents = source.read()
        if not isinstance(contents, (bytes, bytearray)):
            raise TypeError("read() takes a binary file object (opened with 'rb')")
        return None, bytes(contents), str(getattr(source, "name", "<file object>"))
    path = os.fspath(source)
    contents = _file_text(path)
    if contents is None:
        raise VivezeruError(f"{os.fsdecode(path)}: cannot open the file")
    return path, contents, os.fsdecode(path)


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
    reader did not get (each also issued as a VivezeruWarning)."""
    path, contents, shown = _source_contents(source)
    if contents.startswith(_GZIP_MAGIC):
        contents = gzip.decompress(contents)
        path = None
    if format is None:
        format = recognise_text(contents)
        if format is None:
            raise VivezeruError(f"{shown}: format not recognised; name it with format= ({', '.join(FORMAT_NAMES)})")
    elif format not in _FORMATS:
        raise ValueError(f"unknown format {format!r}; one of {', '.join(FORMAT_NAMES)}")
    honest = honest and _FORMATS[format][2]
    if path is not None:
        return _result(path, contents, format, shown, missing, honest, progress)
    handle, temporary = tempfile.mkstemp(suffix=".txt", prefix="vivezeru5-")
    try:
        with os.fdopen(handle, "wb") as file:
            file.write(contents)
        return _result(temporary, contents, format, shown, missing, honest, progress)
    except VivezeruError as error:
        raise VivezeruError(f"{shown}: the {format} reader could not read it") from error
    finally:
        os.unlink(temporary)


def read_raw(path, format_name: str):
    """The reader's block itself, as a numpy float32 array or an array('f'):
    every float of a sounding block (as many as its element 0 gives), or a
    surface block up to its last station with values. format_name is one of
    type5, type5-plain, rozedu, surface. The progress lines are discarded."""
    if format_name not in _FORMATS:
        raise ValueError(f"unknown format {format_name!r}; one of {', '.join(_FORMATS)}")
    return _blocks.raw_values(_read(path, format_name))
