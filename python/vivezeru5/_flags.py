"""Quality flags of a station's 19 derived values, as the library's analysis
gives them (vivezeru5/vivezeru5_reading.h).

The readers return every derived value as the method computes it, also when
the value carries no meaning. Each value has at most one flag: it means
nothing (missing_level, nan, not_reached), or it is a real value with a caveat
(no_lfc, el_not_found, parcel_disagrees). The library decides; this module
only names them.
"""
import functools
from typing import Dict, FrozenSet, Tuple

from . import _library


@functools.lru_cache(maxsize=1)
def flag_names() -> Tuple[str, ...]:
    """Every flag, in the library's order."""
    return tuple(flag.name for flag in _library.flags())


@functools.lru_cache(maxsize=1)
def flag_reasons() -> Dict[str, str]:
    """What each flag means, in one sentence."""
    return {flag.name: flag.reason for flag in _library.flags()}


@functools.lru_cache(maxsize=1)
def meaningless_flags() -> FrozenSet[str]:
    """The flags of values that mean nothing: NaN with honest=True."""
    return frozenset(flag.name for flag in _library.flags() if flag.meaningless)
