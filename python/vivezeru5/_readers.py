"""The four readers, returning Python objects."""
from typing import Optional

from . import _blocks
from ._library import call_reader

# format name -> (C reader, sounding block?, analysed?, element 0 counts the whole block?)
_FORMATS = {
    "type5": ("readVelmorData5", True, True, False),
    "type5-plain": ("readVelmor5Only", True, False, True),
    "rozedu": ("readRozeduData", True, True, False),
    "surface": ("ReadVelmorData1", False, False, False),
}


def _block_length(block, is_sounding: bool, counts_whole_block: bool) -> int:
    if is_sounding:
        return _blocks.sounding_length(block[0], counts_whole_block)
    return _blocks.surface_length(block[4])


def _read(path, format_name: str) -> bytes:
    reader, is_sounding, _, counts_whole_block = _FORMATS[format_name]
    with call_reader(reader, path) as block:
        return block.copy(_block_length(block, is_sounding, counts_whole_block))


def read_type5(path, missing: Optional[float] = None) -> _blocks.Sounding:
    """Type-5 soundings with integer levels, analysed (readVelmorData5)."""
    return _blocks.sounding(_read(path, "type5"), analysed=True, carries_elevation=True, missing=missing)


def read_type5_plain(path, missing: Optional[float] = None) -> _blocks.Sounding:
    """Type-5 soundings with levels read as decimals, not analysed (readVelmor5Only)."""
    return _blocks.sounding(_read(path, "type5-plain"), analysed=False, carries_elevation=True, missing=missing)


def read_rozedu(path, missing: Optional[float] = None) -> _blocks.Sounding:
    """Characteristic-level soundings, analysed (readRozeduData). No time, no elevation."""
    return _blocks.sounding(_read(path, "rozedu"), analysed=True, carries_elevation=False, missing=missing)


def read_surface(path, missing: Optional[float] = None) -> _blocks.SurfaceReport:
    """Type-1 surface reports (ReadVelmorData1): the stations with values."""
    return _blocks.surface(_read(path, "surface"), missing=missing)


def read_raw(path, format_name: str):
    """The reader's block itself, as a numpy float32 array or an array('f'):
    every float of a sounding block (as many as its element 0 gives), or a
    surface block up to its last station with values. format_name is one of
    type5, type5-plain, rozedu, surface."""
    if format_name not in _FORMATS:
        raise ValueError(f"unknown format {format_name!r}; one of {', '.join(_FORMATS)}")
    return _blocks.raw_values(_read(path, format_name))
