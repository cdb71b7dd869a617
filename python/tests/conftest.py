import os
import struct
from pathlib import Path

import pytest

import vivezeru5
from vivezeru5 import _blocks

EXAMPLES = Path(os.environ.get("VIVEZERU5_EXAMPLES", Path(__file__).resolve().parents[2] / "examples"))
# The real soundings, read in place (never copied into the repository).
REAL = Path(os.environ.get("VIVEZERU5_REAL_DATA") or Path(__file__).resolve().parents[3] / "shared" / "data" / "real")


def real_file(name):
    """The path of a real sounding file; skips the test, saying so, when it is not there."""
    path = REAL / name
    if not path.exists():
        pytest.skip(f"{path} is not there (VIVEZERU5_REAL_DATA names the folder of the real soundings)")
    return path


@pytest.fixture
def examples():
    return EXAMPLES


@pytest.fixture(params=["numpy", "lists"])
def levels_kind(request, monkeypatch):
    """Runs a test with numpy arrays and again with the list fallback."""
    if request.param == "numpy":
        pytest.importorskip("numpy")
    else:
        monkeypatch.setattr(_blocks, "_numpy", None)
    return request.param


def f32(value):
    """The float32 nearest to `value`, as a Python float."""
    return struct.unpack("f", struct.pack("f", value))[0]


def rows(levels):
    """Level rows as tuples of float32 values (widened), whichever container holds them."""
    return [tuple(f32(v) for v in row) for row in levels]


@pytest.fixture
def write_file(tmp_path):
    counter = iter(range(1000))

    def write(text):
        path = tmp_path / f"data{next(counter)}.txt"
        path.write_text(text)
        return path

    return write


__all__ = ["vivezeru5", "rows", "f32"]
