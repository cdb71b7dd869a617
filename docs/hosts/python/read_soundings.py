"""Reading a type-5 sounding file from Python with ctypes alone: the first
station, its first level and two of its derived values.

    python read_soundings.py FILE

The vivezeru5 package (python/ in the repository, or its wheel) does all this
and more: `vivezeru5.read(FILE)`. This recipe shows what a host written in any
language does. The readers are cdecl on both Windows architectures, so they
are reached through ctypes.CDLL, not WinDLL. The block is released by
vivezeru5_free_block of the companion library when it is there, else by the
free() of the C runtime the DLL imports: ucrtbase.dll for the Universal CRT
DLLs (the python.org Python's own), msvcrt.dll for the msvcrt.dll ones.
"""
import ctypes
import sys


def library_name(name):
    """The file the system's loader finds a library of the project by."""
    return f"{name}.dll" if sys.platform == "win32" else f"lib{name}.so.0"


def block_release():
    """The function that releases a block."""
    try:
        release = ctypes.CDLL(library_name("vivezeru5_reading")).vivezeru5_free_block
    except (OSError, AttributeError):
        release = (ctypes.CDLL("ucrtbase") if sys.platform == "win32" else ctypes.CDLL(None)).free
    release.argtypes = [ctypes.c_void_p]
    release.restype = None
    return release


def main(path):
    library = ctypes.CDLL(library_name("vivezeru5"))
    read = library.readVelmorData5
    read.argtypes = [ctypes.c_char_p]
    read.restype = ctypes.POINTER(ctypes.c_float)
    release = block_release()

    block = read(path.encode())
    if not block:
        sys.exit(f"read_soundings: {path} cannot be read")
    try:
        # Element 0 is the index of the terminator: the block holds [0] + 1 floats.
        values = block[: int(block[0]) + 1]
    finally:
        release(block)

    # [5] stations; the first station from [6]: id, longitude, latitude,
    # elevation, level count, 6 values a level, then 19 derived values.
    station = 6
    levels = int(values[station + 4])
    level = values[station + 5: station + 11]
    derived = values[station + 5 + 6 * levels:]
    print(f"{values[5]:.0f} stations")
    print(f"station {values[station]:.0f}: longitude {values[station + 1]:.2f}, latitude {values[station + 2]:.2f}, "
          f"elevation {values[station + 3]:.0f}, {levels} levels")
    print(f"first level: {level[0]:.0f} hPa, {level[1]:.0f} dam, {level[2]:.1f} C, dew point {level[3]:.1f} C, "
          f"wind {level[4]:.0f} deg {level[5]:.1f} m/s")
    print(f"K index {derived[2]:.1f}, total totals {derived[3]:.1f}")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: read_soundings.py FILE")
    main(sys.argv[1])
