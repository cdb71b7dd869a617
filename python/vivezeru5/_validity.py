"""What a file declares against what its reader takes from it.

The readers trust no count and report nothing: a file that ends inside a
station, a station id that stops the reading early, or a value count that is
not a whole number of levels all give a block without a word. Walking the
file's tokens the way the reader converts them tells what it declared and what
was converted:

- declared against converted level values of each station (type-5: its value
  count, which should also be a multiple of 6; characteristic-level: its level
  count times 7);
- declared against read stations (type-5: the date line's count; surface: the
  header's count);
- text left where the reading stopped.

Each problem is one line, with the same text as the command-line tool's.
"""
from dataclasses import dataclass, field
from typing import List, Optional

from ._formatted_input import FormattedInput

_TYPE5_GROUP = 6
_ROZEDU_GROUP = 7
_SURFACE_VALUES = 24


@dataclass
class _Walk:
    station_problems: List[str] = field(default_factory=list)
    declared_stations: Optional[int] = None
    last_station_id: Optional[int] = None
    unread_from: Optional[int] = None  # where the reading stopped with text left


def _station(station_id: int) -> str:
    return f"station {station_id}: "


def _note_unread(cursor: FormattedInput, stopped_at: int, walk: _Walk):
    cursor.position = stopped_at
    if not cursor.at_end():
        walk.unread_from = cursor.position


def _skip_tagged_header(cursor: FormattedInput) -> int:
    """Tag, data type, description, year, month, day, hour (conversions not
    examined, as the readers do not); the declared station count, or 0."""
    cursor.read_word()
    cursor.read_integer()
    cursor.read_word()
    for _ in range(4):
        cursor.read_integer()
    declared = cursor.read_integer()
    return 0 if declared is None else declared


def _header(cursor: FormattedInput, kinds: str) -> Optional[list]:
    readers = {"d": cursor.read_integer, "f": cursor.read_real}
    values = []
    for kind in kinds:
        value = readers[kind]()
        if value is None:
            return None
        values.append(value)
    return values


def _walk_type5(cursor: FormattedInput, integer_levels: bool, walk: _Walk):
    level_kind = "integer" if integer_levels else "real"
    walk.declared_stations = _skip_tagged_header(cursor)
    for _ in range(walk.declared_stations):
        if cursor.at_end():
            return
        header_start = cursor.position
        header = _header(cursor, "dfffd")
        if header is None:
            _note_unread(cursor, header_start, walk)
            return
        station_id, count = header[0], header[4]
        walk.last_station_id = station_id
        expected = count // _TYPE5_GROUP * _TYPE5_GROUP if count > 0 else 0
        # A failed conversion leaves the text where it stands, so every later
        # conversion of the same station fails too.
        converted = cursor.count_run(level_kind, expected)
        if count < 0:
            walk.station_problems.append(f"{_station(station_id)}negative value count {count}")
        elif count % _TYPE5_GROUP:
            walk.station_problems.append(f"{_station(station_id)}value count {count} is not a multiple of 6")
        if converted < expected:
            walk.station_problems.append(
                f"{_station(station_id)}{expected} level values declared, {converted} converted"
            )
    _note_unread(cursor, cursor.position, walk)


def _walk_rozedu(cursor: FormattedInput, walk: _Walk):
    while not cursor.at_end():
        header_start = cursor.position
        header = _header(cursor, "ddffd")
        if header is None:
            _note_unread(cursor, header_start, walk)
            return
        station_id, levels = header[1], header[4]
        walk.last_station_id = station_id
        expected = levels * _ROZEDU_GROUP if levels > 0 else 0
        converted = cursor.count_run("real", expected)
        if levels < 0:
            walk.station_problems.append(f"{_station(station_id)}negative level count {levels}")
        if converted < expected:
            walk.station_problems.append(
                f"{_station(station_id)}{levels} levels declared ({expected} values), {converted} converted"
            )


def _walk_surface(cursor: FormattedInput, walk: _Walk):
    walk.declared_stations = _skip_tagged_header(cursor)
    for _ in range(walk.declared_stations):
        if cursor.at_end():
            return
        station_start = cursor.position
        values = []
        while len(values) < _SURFACE_VALUES:
            value = cursor.read_real()
            if value is None:
                break
            values.append(value)
        if len(values) < _SURFACE_VALUES:
            _note_unread(cursor, station_start, walk)
            return
        if values[22] == 1.0 and values[23] == 2.0:  # values 25 and 26 follow
            cursor.read_real()
            cursor.read_real()
    _note_unread(cursor, cursor.position, walk)


def file_problems(text: bytes, format_name: str, stations_read: int) -> List[str]:
    """One line per problem of a file of `format_name` whose reader returned
    `stations_read` stations."""
    cursor = FormattedInput(text)
    walk = _Walk()
    if format_name == "rozedu":
        _walk_rozedu(cursor, walk)
    elif format_name == "surface":
        _walk_surface(cursor, walk)
    else:
        _walk_type5(cursor, format_name == "type5", walk)
    problems = list(walk.station_problems)
    if walk.declared_stations is not None and walk.declared_stations != stations_read:
        problems.append(f"declares {walk.declared_stations} stations, {stations_read} read")
    if walk.unread_from is not None:
        after = ""
        if walk.last_station_id is not None and format_name != "surface":
            after = f" after station {walk.last_station_id}"
        problems.append(
            f"unread text{after}, from line {cursor.line_of(walk.unread_from)}: "
            + _quoted(cursor.token_at(walk.unread_from, 41))
        )
    return problems


def _quoted(token):
    """The token as the tool's messages show it: at most 40 characters, bytes
    that are not printable ASCII (and the quote and backslash) as \\xNN, and
    "..." after a token that was cut."""
    shown = "".join(
        ch if 0x20 <= ord(ch) < 0x7F and ch not in '"\\' else f"\\x{ord(ch):02x}"
        for ch in token[:40]
    )
    return '"' + shown + ("..." if len(token) > 40 else "") + '"'
