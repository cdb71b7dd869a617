"""The package's own build backend: standard library only, so that
`pip install ./python` needs nothing from a package index (no setuptools to
fetch into an isolated build environment), and the wheel carries the shared
library the package loads.

The library put into the wheel is the first of:
1. the file named by the environment variable VIVEZERU5_LIBRARY;
2. a library built in the repository's build/default (the README's build);
3. a library built here with CMake from the repository, when the package is
   built inside a checkout and cmake is on PATH;
otherwise the wheel has none and the package finds the library through the
system's loader (after `cmake --install` to a standard prefix).
"""
import base64
import hashlib
import io
import os
import re
import shutil
import subprocess
import sys
import sysconfig
import tarfile
import tempfile
import zipfile
from pathlib import Path

_PROJECT = Path(__file__).resolve().parent.parent  # the python/ directory
_PACKAGE = "vivezeru5"
_LIBRARY_NAME = {"win32": "vivezeru5.dll", "darwin": "libvivezeru5.dylib"}.get(sys.platform, "libvivezeru5.so")
_SHARED_SUFFIXES = (".so", ".dylib", ".dll")


def _metadata_fields():
    text = (_PROJECT / "pyproject.toml").read_text(encoding="utf-8")
    project = text.split("[project]", 1)[1].split("\n[", 1)[0]

    def field(key):
        match = re.search(rf'^{key}\s*=\s*"([^"]*)"', project, re.MULTILINE)
        return match.group(1) if match else ""

    return field("name"), field("version"), field("description"), field("requires-python")


def _metadata() -> str:
    name, version, description, requires_python = _metadata_fields()
    readme = (_PROJECT / "README.md").read_text(encoding="utf-8")
    return (
        f"Metadata-Version: 2.1\nName: {name}\nVersion: {version}\nSummary: {description}\n"
        f"Requires-Python: {requires_python}\nProvides-Extra: numpy\nProvides-Extra: pandas\n"
        f"Provides-Extra: dask\nRequires-Dist: numpy; extra == 'numpy'\n"
        f"Requires-Dist: pandas; extra == 'pandas'\nRequires-Dist: dask[dataframe]; extra == 'dask'\n"
        f"Description-Content-Type: text/markdown\n\n{readme}"
    )


def _library_in_checkout():
    """The bytes of the library built in, or built here from, the checkout."""
    root = _PROJECT.parent
    built = root / "build" / "default" / _LIBRARY_NAME
    if built.exists():
        return built.read_bytes()
    if not (root / "CMakeLists.txt").exists() or shutil.which("cmake") is None:
        return None
    with tempfile.TemporaryDirectory(prefix="vivezeru5-build-") as build:
        configure = ["cmake", "-S", str(root), "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                     "-DVIVEZERU5_BUILD_TESTS=OFF", "-DVIVEZERU5_BUILD_TOOLS=OFF"]
        compile_ = ["cmake", "--build", build, "--target", "vivezeru5", "-j2"]
        for command in (configure, compile_):
            subprocess.run(command, check=True, stdout=sys.stderr)
        candidates = [p for p in Path(build).rglob(_LIBRARY_NAME + "*") if p.is_file() and not p.is_symlink()]
        return candidates[0].read_bytes() if candidates else None


def _library():
    """The bytes of the library to put into the wheel, or None."""
    explicit = os.environ.get("VIVEZERU5_LIBRARY")
    if explicit:
        if not Path(explicit).is_file():
            raise FileNotFoundError(f"VIVEZERU5_LIBRARY names {explicit}, which is not a file")
        return Path(explicit).read_bytes()
    found = _library_in_checkout()
    if found is None:
        print("vivezeru5: no shared library to bundle; the package will use the system's loader",
              file=sys.stderr)
    return found


def _platform_tag() -> str:
    return re.sub(r"[-.]", "_", sysconfig.get_platform())


def _record_line(path: str, data: bytes) -> str:
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{path},sha256={digest},{len(data)}"


def _package_files():
    for path in sorted((_PROJECT / _PACKAGE).glob("*.py")):
        yield f"{_PACKAGE}/{path.name}", path.read_bytes()


def _wheel_name(tag: str) -> str:
    name, version, _, _ = _metadata_fields()
    return f"{name}-{version}-{tag}.whl"


# PEP 517 hooks

def get_requires_for_build_wheel(config_settings=None):
    return []


def get_requires_for_build_sdist(config_settings=None):
    return []


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    name, version, _, _ = _metadata_fields()
    library = _library()
    files = list(_package_files())
    if library is not None:
        files.append((f"{_PACKAGE}/{_LIBRARY_NAME}", library))
        tag = f"py3-none-{_platform_tag()}"
    else:
        tag = "py3-none-any"
    info = f"{name}-{version}.dist-info"
    wheel = f"Wheel-Version: 1.0\nGenerator: vivezeru5_build\nRoot-Is-Purelib: {'false' if library is not None else 'true'}\nTag: {tag}\n"
    files += [
        (f"{info}/METADATA", _metadata().encode()),
        (f"{info}/WHEEL", wheel.encode()),
        (f"{info}/top_level.txt", f"{_PACKAGE}\n".encode()),
    ]
    record = "".join(_record_line(path, data) + "\n" for path, data in files) + f"{info}/RECORD,,\n"
    filename = _wheel_name(tag)
    with zipfile.ZipFile(Path(wheel_directory) / filename, "w", zipfile.ZIP_DEFLATED) as archive:
        for path, data in files:
            entry = zipfile.ZipInfo(path, date_time=(2020, 1, 1, 0, 0, 0))
            entry.external_attr = (0o755 if path.endswith(_SHARED_SUFFIXES) else 0o644) << 16
            archive.writestr(entry, data, zipfile.ZIP_DEFLATED)
        archive.writestr(f"{info}/RECORD", record)
    return filename


def build_sdist(sdist_directory, config_settings=None):
    name, version, _, _ = _metadata_fields()
    base = f"{name}-{version}"
    filename = f"{base}.tar.gz"
    members = ["pyproject.toml", "README.md", "build_backend/vivezeru5_build.py"]
    members += [f"{_PACKAGE}/{path.name}" for path in sorted((_PROJECT / _PACKAGE).glob("*.py"))]
    with tarfile.open(Path(sdist_directory) / filename, "w:gz") as archive:
        for member in members:
            archive.add(_PROJECT / member, arcname=f"{base}/{member}")
        info = _metadata().encode()
        entry = tarfile.TarInfo(f"{base}/PKG-INFO")
        entry.size = len(info)
        archive.addfile(entry, io.BytesIO(info))
    return filename
