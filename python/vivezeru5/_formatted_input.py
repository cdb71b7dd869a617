"""A cursor over a file's text that converts tokens the way the C library's
formatted input ("%d", "%f", "%s") does: blanks are skipped, a conversion
takes the longest prefix that forms a number, and a failed conversion leaves
the cursor where it stood. The readers take their files this way, so walking a
file with this cursor tells which values a reader converted and where its
reading stopped."""
import functools
import re
import struct
from typing import Optional

_BLANKS = b" \t\n\r\v\f"
_BLANK_RUN = re.compile(rb"[ \t\n\r\v\f]*")
_INTEGER = re.compile(rb"[+-]?[0-9]+")
_REAL = re.compile(
    rb"[+-]?(?:"
    rb"(?i:infinity|inf|nan(?:\([^)]*\))?)"
    rb"|0[xX](?:[0-9a-fA-F]+\.?[0-9a-fA-F]*|\.[0-9a-fA-F]+)(?:[pP][+-]?[0-9]+)?"
    rb"|(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?"
    rb")"
)
_INT32_MIN, _INT32_MAX = -(2**31), 2**31 - 1
_NUMBERS = {"integer": _INTEGER, "real": _REAL}
_LONGEST_RUN = 2**31  # more values than any file of this family holds


@functools.lru_cache(maxsize=256)
def _run_of(kind: str, limit: int):
    """Up to `limit` conversions of one kind in a row, each after its blanks."""
    return re.compile(rb"(?:[ \t\n\r\v\f]*(?:" + _NUMBERS[kind].pattern + rb")){0,%d}" % limit)


def float32(value: float) -> float:
    """`value` rounded to the nearest 32-bit float (overflow gives infinity)."""
    try:
        return struct.unpack("f", struct.pack("f", value))[0]
    except OverflowError:
        return float("inf") if value > 0 else float("-inf")


class FormattedInput:
    def __init__(self, text: bytes):
        self.text = text
        self.position = 0

    def _skip_blanks(self):
        self.position = _BLANK_RUN.match(self.text, self.position).end()

    def at_end(self) -> bool:
        """Skips blanks; True when nothing but blanks is left."""
        self._skip_blanks()
        return self.position >= len(self.text)

    def read_integer(self) -> Optional[int]:
        """ "%d": out-of-range values saturate to 32 bits, as the C library's do."""
        self._skip_blanks()
        match = _INTEGER.match(self.text, self.position)
        if not match:
            return None
        self.position = match.end()
        return max(_INT32_MIN, min(_INT32_MAX, int(match.group())))

    def read_real(self) -> Optional[float]:
        """ "%f": the value as a 32-bit float."""
        self._skip_blanks()
        match = _REAL.match(self.text, self.position)
        if not match:
            return None
        self.position = match.end()
        token = match.group().decode("ascii").lower()
        unsigned = token.lstrip("+-")
        negative = token.startswith("-")
        if unsigned.startswith("0x"):
            mantissa = unsigned if "p" in unsigned else unsigned + "p0"
            if mantissa.startswith("0x.") or mantissa[2] == "p":
                mantissa = "0x0" + mantissa[2:]
            value = float.fromhex(mantissa)
        elif unsigned.startswith("nan"):
            value = float("nan")
        else:
            value = float(unsigned)
        return float32(-value if negative else value)

    def count_run(self, kind: str, limit: int) -> int:
        """Converts up to `limit` values of `kind` ("integer" for "%d", "real"
        for "%f") in a row, as that many conversions would, stopping at the
        first that fails; returns how many converted."""
        if limit <= 0:
            return 0
        start = self.position
        self.position = _run_of(kind, min(limit, _LONGEST_RUN)).match(self.text, start).end()
        return len(_NUMBERS[kind].findall(self.text, start, self.position))

    def read_word(self) -> bool:
        """ "%s": True when a word was there."""
        self._skip_blanks()
        if self.position >= len(self.text):
            return False
        end = self.position
        while end < len(self.text) and self.text[end] not in _BLANKS:
            end += 1
        self.position = end
        return True

    def token_at(self, position: int, limit: int = 40) -> str:
        """The blank-delimited token that starts at `position` (at most `limit` characters)."""
        end = position
        while end < len(self.text) and self.text[end] not in _BLANKS and end - position < limit:
            end += 1
        return self.text[position:end].decode("latin-1")

    def line_of(self, position: int) -> int:
        """Line number (from 1) of `position`."""
        return 1 + self.text.count(b"\n", 0, position)
