"""Loading the shared library and calling its readers through ctypes."""
import ctypes
import ctypes.util
import os
import sys
import threading
from pathlib import Path

from ._c_runtime import NotAWindowsImage, c_runtime_of

_NAMES = ("libvivezeru5.so", "libvivezeru5.so.0", "libvivezeru5.dylib", "vivezeru5.dll")
_READERS = ("readVelmorData5", "readRozeduData", "readVelmor5Only", "ReadVelmorData1")

_lock = threading.Lock()
_loaded = None  # (library, libc, path) once loaded


class VivezeruError(OSError):
    """A file the library cannot read, or a library that cannot be loaded."""


def library_path():
    """The path (or loader name) of the shared library that is, or will be, used."""
    explicit = os.environ.get("VIVEZERU5_LIBRARY")
    if explicit:
        return explicit
    here = Path(__file__).resolve().parent
    for name in _NAMES:
        candidate = here / name
        if candidate.exists():
            return str(candidate)
    return ctypes.util.find_library("vivezeru5") or "libvivezeru5.so.0"


def _module_file(library):
    """The file a loaded Windows DLL was loaded from."""
    buffer = ctypes.create_unicode_buffer(32768)
    length = ctypes.windll.kernel32.GetModuleFileNameW(ctypes.c_void_p(library._handle), buffer, len(buffer))
    if length == 0:
        raise ctypes.WinError()
    return buffer.value


def _c_library(library):
    """The C runtime whose free() releases the library's blocks: on Windows the
    one the DLL imports (ucrtbase.dll or msvcrt.dll), elsewhere the process's."""
    if sys.platform == "win32":
        return ctypes.CDLL(c_runtime_of(_module_file(library)))
    return ctypes.CDLL(None)


def _load():
    global _loaded
    with _lock:
        if _loaded is None:
            path = library_path()
            try:
                library = ctypes.CDLL(path)
            except OSError as error:
                raise VivezeruError(f"cannot load the vivezeru5 library from {path!r}: {error}") from error
            for name in _READERS:
                function = getattr(library, name)
                function.argtypes = [ctypes.c_char_p]
                function.restype = ctypes.POINTER(ctypes.c_float)
            try:
                libc = _c_library(library)
            except (OSError, NotAWindowsImage) as error:
                raise VivezeruError(f"cannot find the C runtime of {path!r}: {error}") from error
            libc.free.argtypes = [ctypes.c_void_p]
            libc.free.restype = None
            libc.fflush.argtypes = [ctypes.c_void_p]
            libc.fflush.restype = ctypes.c_int
            _loaded = (library, libc, path)
        return _loaded


class Block:
    """A block returned by a reader; release() frees it (also on exit from `with`)."""

    def __init__(self, pointer, libc):
        self._pointer = pointer
        self._libc = libc

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.release()

    def __getitem__(self, index):
        return self._pointer[index]

    def copy(self, count):
        """The first `count` floats as bytes in native order."""
        return ctypes.string_at(self._pointer, count * ctypes.sizeof(ctypes.c_float))

    def release(self):
        if self._pointer:
            self._libc.free(ctypes.cast(self._pointer, ctypes.c_void_p))
            self._pointer = None


def call_reader(reader, path):
    """Calls the C reader `reader` on `path`; raises VivezeruError when it returns NULL."""
    library, libc, _ = _load()
    encoded = os.fsencode(path)
    sys.stdout.flush()
    pointer = getattr(library, reader)(encoded)
    libc.fflush(None)  # the library's progress lines, before Python writes more
    if not pointer:
        raise VivezeruError(f"{os.fsdecode(encoded)}: {reader} could not read the file")
    return Block(pointer, libc)
