"""The package's own build backend: standard library only, so that
`pip install ./python` and `pip wheel ./python` need nothing from a package
index (no setuptools to fetch into an isolated build environment), and the
wheel carries the shared libraries the package loads.

The wheel is built for one platform, named by the config setting `platform`
(`pip wheel -C platform=win_amd64 ./python`) or the environment variable
VIVEZERU5_WHEEL_PLATFORM:
  this machine's (the default)  the libraries of build/default, tagged for
                                this machine (py3-none-linux_x86_64);
  win_amd64                     vivezeru5.dll of build/windows-x64, the
                                64-bit Universal CRT DLL that the python.org
                                Python uses (py3-none-win_amd64);
  win32                         the same of build/windows-x86.
The config setting `build-dir` (or VIVEZERU5_BUILD_DIR), relative to the
repository, names another build directory.

The libraries put into the wheel are vivezeru5 and, when built, its companion
vivezeru5_reading, taken from the first of:
1. the file named by the environment variable VIVEZERU5_LIBRARY (and the
   companion beside it);
2. the build directory above;
3. for this machine, a build made here with CMake from the repository, when
   the package is built inside a checkout and cmake is on PATH;
otherwise the wheel has none (py3-none-any) and the package finds the
library through the system's loader (after `cmake --install` to a standard
prefix).

The version is the project's, from project(vivezeru5 VERSION ...) in the
repository's CMakeLists.txt (in an sdist, from its PKG-INFO).
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
_REPOSITORY = _PROJECT.parent
_PACKAGE = "vivezeru5"
_LIBRARIES = ("vivezeru5", "vivezeru5_reading")
_SHARED_SUFFIXES = (".so", ".dylib", ".dll")

# The platforms a wheel can be built for other than this machine: the
# build directory of their DLLs by default.
_WINDOWS_BUILDS = {"win_amd64": "build/windows-x64", "win32": "build/windows-x86"}


def _library_file_name(library, platform):
    """The name a library has in the wheel, as the package looks for it."""
    if platform.startswith("win"):
        return f"{library}.dll"
    if platform.startswith("macosx"):
        return f"lib{library}.dylib"
    return f"lib{library}.so"


def _pyproject_field(project, key):
    match = re.search(rf'^{key}\s*=\s*"([^"]*)"', project, re.MULTILINE)
    return match.group(1) if match else ""


def _project_version():
    """The version in an sdist's PKG-INFO, else the one CMakeLists.txt gives the project."""
    info = _PROJECT / "PKG-INFO"
    if info.exists():
        match = re.search(r"^Version: (\S+)$", info.read_text(encoding="utf-8"), re.MULTILINE)
        if match:
            return match.group(1)
    cmake = _REPOSITORY / "CMakeLists.txt"
    if cmake.exists():
        match = re.search(r"project\(\s*vivezeru5\s+VERSION\s+([0-9][0-9.]*)", cmake.read_text(encoding="utf-8"))
        if match:
            return match.group(1)
    raise RuntimeError("no project version: neither PKG-INFO nor ../CMakeLists.txt gives one")


def _metadata_fields():
    text = (_PROJECT / "pyproject.toml").read_text(encoding="utf-8")
    project = text.split("[project]", 1)[1].split("\n[", 1)[0]
    licence = re.search(r'^license\s*=\s*\{\s*text\s*=\s*"([^"]*)"\s*\}', project, re.MULTILINE)
    classifiers = re.search(r"^classifiers\s*=\s*\[([^]]*)\]", project, re.MULTILINE)
    return {
        "name": _pyproject_field(project, "name"),
        "version": _project_version(),
        "description": _pyproject_field(project, "description"),
        "requires-python": _pyproject_field(project, "requires-python"),
        "license": licence.group(1) if licence else "",
        "classifiers": re.findall(r'"([^"]*)"', classifiers.group(1)) if classifiers else [],
    }


def _licence_text():
    """LICENSE of the repository (in an sdist, the copy it carries)."""
    for path in (_REPOSITORY / "LICENSE", _PROJECT / "LICENSE"):
        if path.exists():
            return path.read_bytes()
    raise FileNotFoundError("no LICENSE beside the package")


def _metadata() -> str:
    fields = _metadata_fields()
    readme = (_PROJECT / "README.md").read_text(encoding="utf-8")
    return (
        f"Metadata-Version: 2.1\nName: {fields['name']}\nVersion: {fields['version']}\n"
        f"Summary: {fields['description']}\nLicense: {fields['license']}\n"
        + "".join(f"Classifier: {classifier}\n" for classifier in fields["classifiers"])
        + f"Requires-Python: {fields['requires-python']}\nProvides-Extra: numpy\nProvides-Extra: pandas\n"
        f"Provides-Extra: dask\nRequires-Dist: numpy; extra == 'numpy'\n"
        f"Requires-Dist: pandas; extra == 'pandas'\nRequires-Dist: dask[dataframe]; extra == 'dask'\n"
        f"Description-Content-Type: text/markdown\n\n{readme}"
    )


def _setting(config_settings, key, variable):
    value = (config_settings or {}).get(key)
    return value if value else os.environ.get(variable, "")


def _built_library(directory, library, platform):
    """The library's file in a build directory (the real file, not a link), or None."""
    name = _library_file_name(library, platform)
    exact = directory / name
    if platform.startswith("win"):
        return exact if exact.is_file() else None
    candidates = sorted(p for p in directory.glob(name + "*") if p.is_file() and not p.is_symlink())
    return candidates[0] if candidates else None


def _libraries_in(directory, platform):
    """{wheel file name: bytes} of the libraries built in `directory`."""
    found = {}
    for library in _LIBRARIES:
        path = _built_library(directory, library, platform)
        if path is not None:
            found[_library_file_name(library, platform)] = path.read_bytes()
    return found


def _libraries_built_here(platform):
    """The libraries of a build made here with CMake from the checkout."""
    if not (_REPOSITORY / "CMakeLists.txt").exists() or shutil.which("cmake") is None:
        return {}
    with tempfile.TemporaryDirectory(prefix="vivezeru5-build-") as build:
        configure = ["cmake", "-S", str(_REPOSITORY), "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                     "-DVIVEZERU5_BUILD_TESTS=OFF", "-DVIVEZERU5_BUILD_TOOLS=OFF"]
        compile_ = ["cmake", "--build", build, "-j2"]
        for command in (configure, compile_):
            subprocess.run(command, check=True, stdout=sys.stderr)
        return _libraries_in(Path(build), platform)


def _libraries(platform, config_settings):
    """{wheel file name: bytes} of the libraries to put into the wheel."""
    explicit = os.environ.get("VIVEZERU5_LIBRARY")
    if explicit:
        path = Path(explicit)
        if not path.is_file():
            raise FileNotFoundError(f"VIVEZERU5_LIBRARY names {explicit}, which is not a file")
        found = {_library_file_name("vivezeru5", platform): path.read_bytes()}
        companion = _built_library(path.parent, "vivezeru5_reading", platform)
        if companion is not None:
            found[_library_file_name("vivezeru5_reading", platform)] = companion.read_bytes()
        return found
    build_dir = _setting(config_settings, "build-dir", "VIVEZERU5_BUILD_DIR")
    windows = platform in _WINDOWS_BUILDS
    directory = _REPOSITORY / (build_dir or (_WINDOWS_BUILDS[platform] if windows else "build/default"))
    found = _libraries_in(directory, platform)
    if _library_file_name("vivezeru5", platform) in found:
        return found
    if windows or build_dir:
        raise FileNotFoundError(
            f"no {_library_file_name('vivezeru5', platform)} in {directory}: build it first"
            + (f" (cmake --workflow --preset {Path(_WINDOWS_BUILDS[platform]).name})" if windows else ""))
    found = _libraries_built_here(platform)
    if not found:
        print("vivezeru5: no shared library to bundle; the package will use the system's loader",
              file=sys.stderr)
    return found


def _host_platform() -> str:
    return re.sub(r"[-.]", "_", sysconfig.get_platform())


def _record_line(path: str, data: bytes) -> str:
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{path},sha256={digest},{len(data)}"


def _package_sources():
    """The package's modules, and py.typed when it declares its type hints."""
    directory = _PROJECT / _PACKAGE
    return sorted(list(directory.glob("*.py")) + [p for p in [directory / "py.typed"] if p.exists()])


def _package_files():
    for path in _package_sources():
        yield f"{_PACKAGE}/{path.name}", path.read_bytes()


# PEP 517 hooks

def get_requires_for_build_wheel(config_settings=None):
    return []


def get_requires_for_build_sdist(config_settings=None):
    return []


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    fields = _metadata_fields()
    name, version = fields["name"], fields["version"]
    platform = _setting(config_settings, "platform", "VIVEZERU5_WHEEL_PLATFORM") or _host_platform()
    if platform not in _WINDOWS_BUILDS and platform != _host_platform():
        raise ValueError(f"platform {platform!r}: this machine's ({_host_platform()}) or one of "
                         f"{', '.join(sorted(_WINDOWS_BUILDS))}")
    libraries = _libraries(platform, config_settings)
    files = list(_package_files())
    files += [(f"{_PACKAGE}/{file_name}", data) for file_name, data in sorted(libraries.items())]
    tag = f"py3-none-{platform}" if libraries else "py3-none-any"
    info = f"{name}-{version}.dist-info"
    wheel = (f"Wheel-Version: 1.0\nGenerator: vivezeru5_build\n"
             f"Root-Is-Purelib: {'false' if libraries else 'true'}\nTag: {tag}\n")
    files += [
        (f"{info}/METADATA", _metadata().encode()),
        (f"{info}/LICENSE", _licence_text()),
        (f"{info}/WHEEL", wheel.encode()),
        (f"{info}/top_level.txt", f"{_PACKAGE}\n".encode()),
    ]
    record = "".join(_record_line(path, data) + "\n" for path, data in files) + f"{info}/RECORD,,\n"
    filename = f"{name}-{version}-{tag}.whl"
    with zipfile.ZipFile(Path(wheel_directory) / filename, "w", zipfile.ZIP_DEFLATED) as archive:
        for path, data in files:
            entry = zipfile.ZipInfo(path, date_time=(2020, 1, 1, 0, 0, 0))
            entry.external_attr = (0o755 if path.endswith(_SHARED_SUFFIXES) else 0o644) << 16
            archive.writestr(entry, data, zipfile.ZIP_DEFLATED)
        archive.writestr(f"{info}/RECORD", record)
    return filename


def build_sdist(sdist_directory, config_settings=None):
    fields = _metadata_fields()
    base = f"{fields['name']}-{fields['version']}"
    filename = f"{base}.tar.gz"
    members = ["pyproject.toml", "README.md", "build_backend/vivezeru5_build.py"]
    members += [f"{_PACKAGE}/{path.name}" for path in _package_sources()]
    with tarfile.open(Path(sdist_directory) / filename, "w:gz") as archive:
        for member in members:
            archive.add(_PROJECT / member, arcname=f"{base}/{member}")
        for member, data in (("PKG-INFO", _metadata().encode()), ("LICENSE", _licence_text())):
            entry = tarfile.TarInfo(f"{base}/{member}")
            entry.size = len(data)
            archive.addfile(entry, io.BytesIO(data))
    return filename
