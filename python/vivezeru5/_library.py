"""The companion library (vivezeru5/vivezeru5_reading.h) through ctypes.

Everything the package knows of the formats, the reading checks and the
quality flags comes from there: a reading returns the block exactly as the
format's reader returns it, the problems of the reading in sentences, and the
outcome of every derived value. The library writes nothing unless asked to;
with progress=True the analysis's progress lines come back through a callback
and go to sys.stdout, in order with what Python prints.
"""
import ctypes
import ctypes.util
import os
import sys
import threading
from dataclasses import dataclass
from pathlib import Path
from typing import List, Optional

_NAMES = ("libvivezeru5_reading.so", "libvivezeru5_reading.so.0", "libvivezeru5_reading.dylib",
          "vivezeru5_reading.dll")

# enum vivezeru5_status
READ, CANNOT_OPEN, UNRECOGNISED, REJECTED, NO_MEMORY = range(5)
# enum vivezeru5_outcome: the largest value
_LAST_OUTCOME = 6
_DERIVED_COUNT = 19

_lock = threading.Lock()
# The library twice: the calls that read a file release the GIL while they
# run (CDLL), so that threads read files at once; the calls that only look
# at a reading (PyDLL) keep it, since giving the GIL up and taking it back
# costs more than they do, and between threads far more.
_loaded = None
_readers = None
_PROGRESS_SINK = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_void_p)


class VivezeruError(OSError):
    """A file the library cannot read, or a library that cannot be loaded.

    A file that cannot be opened raises one of the subclasses below, which
    are also the built-in error of their errno (FileNotFoundError, ...), with
    `errno`, `strerror` and `filename` set."""


class VivezeruFileNotFoundError(VivezeruError, FileNotFoundError):
    """A file to read that does not exist (errno ENOENT)."""


class VivezeruPermissionError(VivezeruError, PermissionError):
    """A file to read that the process may not open (errno EACCES or EPERM)."""


class VivezeruIsADirectoryError(VivezeruError, IsADirectoryError):
    """A directory given as the file to read (errno EISDIR)."""


class VivezeruNotADirectoryError(VivezeruError, NotADirectoryError):
    """A path through something that is not a directory (errno ENOTDIR)."""


_OPEN_ERRORS = {
    FileNotFoundError: VivezeruFileNotFoundError,
    PermissionError: VivezeruPermissionError,
    IsADirectoryError: VivezeruIsADirectoryError,
    NotADirectoryError: VivezeruNotADirectoryError,
}


def cannot_open(code: int, path) -> VivezeruError:
    """The error for a file that cannot be opened with errno `code`: the
    subclass of VivezeruError that is also Python's error of that errno."""
    kind = _OPEN_ERRORS.get(type(OSError(code, "")), VivezeruError)
    return kind(code, os.strerror(code), os.fsdecode(path))


def library_path():
    """The path (or loader name) of the companion library that is, or will be, used:
    VIVEZERU5_READING_LIBRARY; the companion beside VIVEZERU5_LIBRARY (the
    main library); one next to this package; the system's loader."""
    explicit = os.environ.get("VIVEZERU5_READING_LIBRARY")
    if explicit:
        return explicit
    beside = os.environ.get("VIVEZERU5_LIBRARY")
    folders = [Path(beside).parent] if beside else []
    folders.append(Path(__file__).resolve().parent)
    for folder in folders:
        for name in _NAMES:
            if (folder / name).exists():
                return str(folder / name)
    if beside:
        return str(Path(beside).parent / _NAMES[0])
    return ctypes.util.find_library("vivezeru5_reading") or "libvivezeru5_reading.so.0"


def _declare(library):
    c = ctypes
    signatures = {
        "vivezeru5_format_name": ([c.c_int], c.c_char_p),
        "vivezeru5_format_named": ([c.c_char_p], c.c_int),
        "vivezeru5_format_analysed": ([c.c_int], c.c_int),
        "vivezeru5_read": ([c.c_char_p, c.c_int, c.c_uint], c.c_void_p),
        "vivezeru5_read_with_progress": ([c.c_char_p, c.c_int, _PROGRESS_SINK, c.c_void_p], c.c_void_p),
        "vivezeru5_reading_free": ([c.c_void_p], None),
        "vivezeru5_reading_status": ([c.c_void_p], c.c_int),
        "vivezeru5_reading_open_error": ([c.c_void_p], c.c_int),
        "vivezeru5_reading_format": ([c.c_void_p], c.c_int),
        "vivezeru5_reading_block": ([c.c_void_p, c.POINTER(c.c_size_t)], c.c_void_p),
        "vivezeru5_reading_problem_count": ([c.c_void_p], c.c_size_t),
        "vivezeru5_reading_problem": ([c.c_void_p, c.c_size_t], c.c_char_p),
        "vivezeru5_reading_station_count": ([c.c_void_p], c.c_size_t),
        "vivezeru5_reading_year_as_written": ([c.c_void_p, c.POINTER(c.c_int)], c.c_int),
        "vivezeru5_reading_outcomes": ([c.c_void_p, c.c_size_t, c.POINTER(c.c_int)], c.c_int),
        "vivezeru5_missing_height": ([], c.c_float),
        "vivezeru5_outcome_flag": ([c.c_int], c.c_char_p),
        "vivezeru5_outcome_reason": ([c.c_int], c.c_char_p),
        "vivezeru5_outcome_meaningless": ([c.c_int], c.c_int),
        "vivezeru5_version_string": ([], c.c_char_p),
    }
    for name, (arguments, result) in signatures.items():
        function = getattr(library, name)
        function.argtypes = arguments
        function.restype = result


def _load():
    """The library, its calls holding the GIL."""
    global _loaded, _readers
    with _lock:
        if _loaded is None:
            path = library_path()
            try:
                library, readers = ctypes.PyDLL(path), ctypes.CDLL(path)
                _declare(library)
                _declare(readers)
            except (OSError, AttributeError) as error:
                raise VivezeruError(f"cannot load the vivezeru5 companion library from {path!r}: {error}") from error
            _loaded, _readers = library, readers
        return _loaded


def _load_readers():
    """The library, its calls releasing the GIL."""
    _load()
    return _readers


def format_names() -> tuple:
    """The formats' short names, in the library's order."""
    library = _load()
    return tuple(library.vivezeru5_format_name(number).decode() for number in range(1, 5))


def version() -> str:
    """The companion library's version, "MAJOR.MINOR.PATCH"."""
    return _load().vivezeru5_version_string().decode()


def format_analysed(name: str) -> bool:
    library = _load()
    return library.vivezeru5_format_analysed(library.vivezeru5_format_named(name.encode())) != 0


@dataclass(frozen=True)
class Flag:
    name: str
    reason: str
    meaningless: bool  # the value means nothing: NaN for honest readers


def flags() -> List[Flag]:
    """Every quality flag, in the order of the library's outcomes."""
    library = _load()
    return [
        Flag(library.vivezeru5_outcome_flag(outcome).decode(), library.vivezeru5_outcome_reason(outcome).decode(),
             library.vivezeru5_outcome_meaningless(outcome) != 0)
        for outcome in range(1, _LAST_OUTCOME + 1)
    ]


@dataclass
class Reading:
    """What the library returned for one file."""

    status: int
    open_error: int
    format: Optional[str]
    block: bytes  # the floats, native order
    problems: List[str]
    flags: List[List[Optional[str]]]  # per analysed station, per derived slot: a flag name or None
    year_as_written: Optional[int] = None  # the date line's year as the file writes it; None without a date


def _outcomes(library, handle, stations: int) -> List[List[Optional[str]]]:
    names = {}
    result = []
    outcomes = (ctypes.c_int * _DERIVED_COUNT)()
    for station in range(stations):
        if not library.vivezeru5_reading_outcomes(handle, station, outcomes):
            result.append([None] * _DERIVED_COUNT)
            continue
        row = []
        for outcome in outcomes:
            if outcome not in names:
                names[outcome] = library.vivezeru5_outcome_flag(outcome).decode() or None
            row.append(names[outcome])
        result.append(row)
    return result


def missing_height() -> float:
    """The height (dam) that marks a missing height in a sounding's levels."""
    return _load().vivezeru5_missing_height()


def _write_progress(line, _context):
    sys.stdout.write(line.decode())


_progress_to_stdout = _PROGRESS_SINK(_write_progress)


def read_file(path, format_name: Optional[str], progress: bool = False) -> Reading:
    """Reads `path` in `format_name`, or in the format the library recognises."""
    library, readers = _load(), _load_readers()
    number = library.vivezeru5_format_named(format_name.encode()) if format_name else 0
    if progress:
        sys.stdout.flush()
        handle = readers.vivezeru5_read_with_progress(os.fsencode(path), number, _progress_to_stdout, None)
        sys.stdout.flush()
    else:
        handle = readers.vivezeru5_read(os.fsencode(path), number, 0)
    if not handle:
        raise MemoryError("the vivezeru5 library ran out of memory")
    try:
        status = library.vivezeru5_reading_status(handle)
        format_number = library.vivezeru5_reading_format(handle)
        name = library.vivezeru5_format_name(format_number) if format_number else None
        length = ctypes.c_size_t(0)
        pointer = library.vivezeru5_reading_block(handle, ctypes.byref(length))
        block = ctypes.string_at(pointer, length.value * 4) if pointer else b""
        problems = [
            library.vivezeru5_reading_problem(handle, i).decode("utf-8", "replace")
            for i in range(library.vivezeru5_reading_problem_count(handle))
        ]
        analysed = bool(format_number) and library.vivezeru5_format_analysed(format_number) != 0
        stations = library.vivezeru5_reading_station_count(handle) if pointer and analysed else 0
        year = ctypes.c_int(0)
        written = year.value if library.vivezeru5_reading_year_as_written(handle, ctypes.byref(year)) else None
        return Reading(status, library.vivezeru5_reading_open_error(handle), name.decode() if name else None, block,
                       problems, _outcomes(library, handle, stations), written)
    finally:
        library.vivezeru5_reading_free(handle)
