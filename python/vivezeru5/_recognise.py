"""Telling the four formats apart from a file's text, as the command-line tool does.

- a file whose first token is an integer is a characteristic-level file (rozedu);
- otherwise the second token is the data type: 1 for surface reports (surface),
  5 for type-5 soundings: type5-plain when a level value of the first station
  has decimals, type5 when they are all integers.

Only the first station's level values decide between type5 and type5-plain;
a stray word elsewhere in the file does not.
"""
import re
from typing import List, Optional

_INTEGER = re.compile(rb"[+-]?[0-9]+")
_TOKEN = re.compile(rb"[^ \t\n\r\v\f]+")
_FIRST_STATION = 3 + 5  # tag, data type, description; the date line


def _is_integer(token: bytes) -> bool:
    return _INTEGER.fullmatch(token) is not None


def _first_station_has_decimals(words: List[bytes]) -> bool:
    header = words[_FIRST_STATION:_FIRST_STATION + 5]
    if len(header) < 5 or not _is_integer(header[4]):
        return False
    value_count = int(header[4])
    start = _FIRST_STATION + 5
    return any(not _is_integer(word) for word in words[start:start + max(value_count, 0)])


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
