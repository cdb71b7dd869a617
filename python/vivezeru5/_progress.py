"""Keeping the analysing readers' progress lines out of Python's output.

The library writes its two progress lines with the C library's printf, which
goes through the C `stdout` stream. Python's own `print` and `sys.stdout` do
not use that stream: they write to file descriptor 1 directly. So instead of
pointing descriptor 1 at the null device (which would also swallow whatever
other threads print, from Python or not, while a reader runs), a quiet reader
points the C library's `stdout` stream variable at a stream on the null device
for the length of the call. Other threads' Python output is untouched; only
text that other native code writes through C's `stdout` during that window is
discarded as well.

Several threads may read at once. Quiet readers share one window (the first
one in swaps the stream, the last one out restores it); a reader asked for its
progress lines waits until no quiet window is open, and quiet readers wait
while it runs, so its lines are never swallowed.

Where the C library's `stdout` is not a variable that can be reached (Windows),
the fallback points descriptor 1 at the null device for the window instead,
which also hides what other threads print during it.
"""
import contextlib
import ctypes
import os
import sys
import threading

_NULL_DEVICE = "nul" if sys.platform == "win32" else "/dev/null"
_STREAM_VARIABLES = ("stdout", "__stdoutp")  # glibc and musl; BSD and macOS


class _StreamSwap:
    """Points the C library's `stdout` variable at a stream on the null device."""

    def __init__(self, libc, variable):
        self._variable = variable
        self._libc = libc
        libc.fopen.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        libc.fopen.restype = ctypes.c_void_p
        libc.fflush.argtypes = [ctypes.c_void_p]
        libc.fflush.restype = ctypes.c_int
        self._sink = libc.fopen(_NULL_DEVICE.encode(), b"w")
        if not self._sink:
            raise OSError(f"cannot open {_NULL_DEVICE}")
        self._saved = None

    def begin(self):
        self._saved = self._variable.value
        self._variable.value = self._sink

    def end(self):
        self._libc.fflush(self._sink)
        self._variable.value = self._saved


class _DescriptorSwap:
    """Points file descriptor 1 at the null device (the fallback)."""

    def __init__(self, libc):
        self._libc = libc
        self._saved = None

    def begin(self):
        sys.stdout.flush()
        self._libc.fflush(None)
        self._saved = os.dup(1)
        sink = os.open(_NULL_DEVICE, os.O_WRONLY)
        os.dup2(sink, 1)
        os.close(sink)

    def end(self):
        self._libc.fflush(None)
        os.dup2(self._saved, 1)
        os.close(self._saved)


def _make_swap(libc):
    if sys.platform != "win32":
        process = ctypes.CDLL(None)
        for name in _STREAM_VARIABLES:
            try:
                return _StreamSwap(libc, ctypes.c_void_p.in_dll(process, name))
            except (ValueError, OSError):
                continue
    return _DescriptorSwap(libc)


class _Gate:
    """Quiet readers share one window; loud readers run outside any window.
    A loud reader that waits keeps new quiet readers out, so that a steady
    stream of quiet reads cannot hold it off for ever."""

    def __init__(self):
        self._condition = threading.Condition()
        self._quiet = 0
        self._loud = 0
        self._loud_waiting = 0
        self._swap = None

    @contextlib.contextmanager
    def quiet(self, libc):
        with self._condition:
            self._condition.wait_for(lambda: self._loud == 0 and self._loud_waiting == 0)
            if self._quiet == 0:
                if self._swap is None:
                    self._swap = _make_swap(libc)
                self._swap.begin()
            self._quiet += 1
        try:
            yield
        finally:
            with self._condition:
                self._quiet -= 1
                if self._quiet == 0:
                    self._swap.end()
                    self._condition.notify_all()

    @contextlib.contextmanager
    def loud(self):
        with self._condition:
            self._loud_waiting += 1
            self._condition.wait_for(lambda: self._quiet == 0)
            self._loud_waiting -= 1
            self._loud += 1
        try:
            yield
        finally:
            with self._condition:
                self._loud -= 1
                if self._loud == 0:
                    self._condition.notify_all()


_gate = _Gate()


def progress_lines(shown: bool, libc):
    """Context for one reader call: the progress lines reach the process's
    standard output when `shown`, and nowhere otherwise."""
    return _gate.loud() if shown else _gate.quiet(libc)
