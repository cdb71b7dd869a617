"""Telling the four formats apart from a file's text, as the command-line tool does.

- a file whose first token is an integer is a characteristic-level file (rozedu);
- otherwise the second token is the data type: 1 for surface reports (surface),
  5 for type-5 soundings: type5-plain when a level value of the first station
  has decimals, type5 when they are all integers.

Only the level values of the first station that has levels decide between
type5 and type5-plain; a stray word or number elsewhere does not.
"""
import re
from typing import List, Optional

_INTEGER = re.compile(rb"[+-]?[0-9]+")
_DECIMAL = re.compile(rb"[+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?")
_TOKEN = re.compile(rb"[^ \t\n\r\v\f]+")
_FIRST_STATION = 3 + 5  # tag, data type, description; the date line


def _is_integer(token: bytes) -> bool:
    return _INTEGER.fullmatch(token) is not None


def _is_decimal(token: bytes) -> bool:
    """A number written with a fraction or an exponent, such as 12.5 or 1e3."""
    return not _is_integer(token) and _DECIMAL.fullmatch(token) is not None


def _first_station_has_decimals(words: List[bytes]) -> bool:
    """True when a level value of the first station that has levels is written
    with decimals. Only that station is looked at."""
    position = _FIRST_STATION
    while position + 5 <= len(words):
        if not _is_integer(words[position + 4]) or int(words[position + 4]) < 0:
            return False
        value_count = int(words[position + 4])
        position += 5
        if value_count == 0:
            continue
        return any(_is_decimal(word) for word in words[position:position + value_count])
    return False


def recognise_text(text: bytes) -> Optional[str]:
    """The format name of a file's text, or None when it is none of the four."""
    words = _TOKEN.findall(text)
    if not words:
        return None
    if _is_integer(words[0]):
        return "rozedu"
    if len(words) < 2 or not _is_integer(words[1]):
        return None
    data_type = int(words[1])
    if data_type == 1:
        return "surface"
    if data_type == 5:
        return "type5-plain" if _first_station_has_decimals(words) else "type5"
    return None
