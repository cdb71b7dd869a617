"""What a file declares against what its reader takes from it.

The readers trust no count and report nothing: a file that ends inside a
station, a station id that stops the reading early, or a value count that is
not a whole number of levels all give a block without a word. Walking the
file's tokens the way the reader converts them tells what it declared and what
was converted:

- declared against read stations (type-5: the date line's count; surface: the
  header's count);
- declared against converted level values of each station (type-5: its value
  count, which should also be a multiple of 6; characteristic-level: its level
  count times 7);
- text left after the reading ended.

Each problem is one line naming the file and, where there is one, the station.
"""
from dataclasses import dataclass, field
from typing import List, Optional

from ._formatted_input import FormattedInput

_TYPE5_LEVEL_WIDTH = 6
_ROZEDU_LEVEL_WIDTH = 7
_SURFACE_VALUES = 24


@dataclass
class _StationWalk:
    id: int
    declared: int  # level values the station announces
    converted: int  # level values the reader converted
    level_width: int


@dataclass
class _FileWalk:
    declared_stations: Optional[int] = None
    read_stations: int = 0
    stations: List[_StationWalk] = field(default_factory=list)
    stop: Optional[int] = None  # where the reading ended, when text is left there


def _read_run(cursor: FormattedInput, count: int, read) -> List:
    """Up to `count` conversions, ending at the first that fails (as one scanf call does)."""
    values = []
    for _ in range(count):
        value = read()
        if value is None:
            break
        values.append(value)
    return values


def _read_levels(cursor: FormattedInput, level_count: int, width: int, read) -> int:
    """Level values converted from `level_count` groups of `width`. After a group
    that stops short, every later group stops at the same token."""
    converted = 0
    for _ in range(max(level_count, 0)):
        got = len(_read_run(cursor, width, read))
        converted += got
        if got < width:
            break
    return converted


def _station_header(cursor: FormattedInput, kinds: str):
    readers = {"d": cursor.read_integer, "f": cursor.read_real}
    values = []
    for kind in kinds:
        value = readers[kind]()
        if value is None:
            return None
        values.append(value)
    return values


def _finish(cursor: FormattedInput, walk: _FileWalk, stop: int) -> _FileWalk:
    cursor.position = stop
    if not cursor.at_end():
        walk.stop = cursor.position
    return walk


def _tagged_header(cursor: FormattedInput) -> Optional[List[int]]:
    """Tag, data type and description, then year, month, day, hour and station
    count (type-5 and surface files alike): the five integers, or None."""
    if not (cursor.read_word() and cursor.read_integer() is not None and cursor.read_word()):
        return None
    date = _read_run(cursor, 5, cursor.read_integer)
    return date if len(date) == 5 else None


def _walk_type5(cursor: FormattedInput, integer_levels: bool) -> Optional[_FileWalk]:
    date = _tagged_header(cursor)
    if date is None:
        return None
    walk = _FileWalk(declared_stations=date[4])
    read_level_value = cursor.read_integer if integer_levels else cursor.read_real
    stop = cursor.position
    for _ in range(max(date[4], 0)):
        header = _station_header(cursor, "dfffd")
        if header is None:
            break
        value_count = header[4]
        level_count = int(value_count / _TYPE5_LEVEL_WIDTH)
        converted = _read_levels(cursor, level_count, _TYPE5_LEVEL_WIDTH, read_level_value)
        walk.stations.append(_StationWalk(header[0], value_count, converted, _TYPE5_LEVEL_WIDTH))
        walk.read_stations += 1
        stop = cursor.position
    return _finish(cursor, walk, stop)


def _walk_rozedu(cursor: FormattedInput) -> _FileWalk:
    walk = _FileWalk()
    stop = cursor.position
    while True:
        header = _station_header(cursor, "ddffd")
        if header is None:
            break
        level_count = header[4]
        converted = _read_levels(cursor, level_count, _ROZEDU_LEVEL_WIDTH, cursor.read_real)
        walk.stations.append(_StationWalk(header[1], level_count * _ROZEDU_LEVEL_WIDTH, converted, _ROZEDU_LEVEL_WIDTH))
        walk.read_stations += 1
        stop = cursor.position
    return _finish(cursor, walk, stop)


def _walk_surface(cursor: FormattedInput) -> Optional[_FileWalk]:
    header = _tagged_header(cursor)
    if header is None:
        return None
    walk = _FileWalk(declared_stations=header[4])
    stop = cursor.position
    for _ in range(max(header[4], 0)):
        values = _read_run(cursor, _SURFACE_VALUES, cursor.read_real)
        if len(values) < _SURFACE_VALUES:
            break
        if values[22] == 1.0 and values[23] == 2.0:
            _read_run(cursor, 2, cursor.read_real)
        walk.read_stations += 1
        stop = cursor.position
    return _finish(cursor, walk, stop)


def _walk(text: bytes, format_name: str) -> Optional[_FileWalk]:
    cursor = FormattedInput(text)
    if format_name == "rozedu":
        return _walk_rozedu(cursor)
    if format_name == "surface":
        return _walk_surface(cursor)
    return _walk_type5(cursor, integer_levels=format_name == "type5")


def _station_problems(station: _StationWalk) -> List[str]:
    problems = []
    name = f"station {station.id}"
    if station.declared < 0:
        return [f"{name}: declares a negative count of level values ({station.declared})"]
    if station.level_width == _TYPE5_LEVEL_WIDTH and station.declared % _TYPE5_LEVEL_WIDTH:
        problems.append(f"{name}: {station.declared} level values declared, not a multiple of 6")
    whole_levels = station.declared // station.level_width * station.level_width
    if station.converted < whole_levels:
        problems.append(f"{name}: {station.declared} level values declared, {station.converted} converted")
    return problems


def file_problems(text: bytes, format_name: str, shown_name: str) -> List[str]:
    """One line per problem, each starting with `shown_name` (the file)."""
    walk = _walk(text, format_name)
    if walk is None:
        return []
    problems = []
    if walk.declared_stations is not None and walk.read_stations < walk.declared_stations:
        problems.append(f"{walk.declared_stations} stations declared, {walk.read_stations} read")
    for station in walk.stations:
        problems.extend(_station_problems(station))
    if walk.stop is not None:
        cursor = FormattedInput(text)
        problems.append(
            f'text after the last station: "{cursor.token_at(walk.stop)}" (line {cursor.line_of(walk.stop)})'
        )
    return [f"{shown_name}: {problem}" for problem in problems]
