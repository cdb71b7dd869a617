#!/usr/bin/env bash
# Makes every package with its one command (README, "Packages") and checks it:
#
#   - each archive holds exactly the files its list in tests/packaging/ names
#     (NAME.txt, and NAME.reading.txt when the build has the companion
#     library);
#   - the Linux .deb installs with dpkg, the consumer program builds against
#     the installed files through find_package and through pkg-config, without
#     an rpath, and runs; the package is removed (purged) again;
#   - the Linux wheel installs into a fresh virtual environment, offline, and
#     reads an example with the library it carries;
#   - each Windows ZIP is unpacked and built against: a host linked with
#     lib/vivezeru5.lib, a host loading the DLL, tests/consumer through the
#     ZIP's CMake package. The 64-bit ones run under wine64 and must give the
#     Linux host's blocks bit for bit; the 32-bit ones run only where wine32
#     is installed;
#   - the Windows wheel carries the 64-bit Universal CRT DLL of build/windows-x64.
#
# The Windows packages are made in the build directories of the windows-*
# presets, configured as .ci/steps/windows.sh configures them (warnings as
# errors), so that its run after this one builds nothing again.
set -euo pipefail
cd "$(dirname "$0")/../.."

export VIVEZERU5_WERROR=ON
root=$PWD
packages=build/packages
checks=build/package-checks
version=$(sed -n 's/^project(vivezeru5 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
python=/usr/bin/python3
rm -rf "$packages" "$checks"
mkdir -p "$checks"
passed=0

# check_contents PACKAGE LIST BUILD_DIR: the package's files against tests/packaging/LIST.txt.
check_contents() {
  cmake -DPACKAGE="$1" -DEXPECTED="tests/packaging/$2.txt" -DLIBRARIES="$3/packaged_libraries.txt" \
        -DWORK_DIR="$checks/$2" -P tests/packaging/check_package_contents.cmake
  passed=$((passed + 1))
}

echo "--- Linux: .tar.gz and .deb"
cmake --workflow --preset package-linux
deb="$packages/vivezeru5_${version}_$(dpkg --print-architecture).deb"
check_contents "$packages/vivezeru5-$version-Linux.tar.gz" linux-tgz build/package-linux
check_contents "$deb" linux-deb build/package-linux
fields=$(dpkg-deb -f "$deb" Package Version)
if [ "$fields" != $'Package: vivezeru5\nVersion: '"$version" ]; then
  echo "$deb: control fields '$fields'" >&2
  exit 1
fi
copyright=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/vivezeru5/copyright)
if ! grep -qx "License: BSD-3-Clause" <<<"$copyright"; then
  echo "$deb: /usr/share/doc/vivezeru5/copyright names no BSD-3-Clause licence" >&2
  exit 1
fi

if [ "$(id -u)" -eq 0 ]; then
  trap 'dpkg --purge vivezeru5 >/dev/null 2>&1 || true' EXIT
  dpkg -i "$deb" >/dev/null
  for mode in cmake pkgconfig; do
    cmake -DMODE=$mode -DINSTALLED=/usr -DWORK_DIR="$root/$checks/deb-$mode" -DSOURCE_DIR="$root/tests/consumer" \
          -DEXAMPLE="$root/examples/sounding_type5.txt" -DVERSION="$version" -DLIBDIR=lib -DBINDIR=bin \
          -DC_COMPILER=cc -P tests/consumer/run_consumer.cmake
    passed=$((passed + 1))
  done
  # Removed, its configuration too, so that the later steps see a clean machine.
  dpkg --purge vivezeru5 >/dev/null
  trap - EXIT
  if dpkg-query -W vivezeru5 >/dev/null 2>&1 || [ -e /usr/include/vivezeru5 ]; then
    echo "dpkg --purge vivezeru5 left the package behind" >&2
    exit 1
  fi
else
  echo "skipped: installing the .deb needs root"
fi

echo "--- Linux wheel"
wheel_command=("$python" -m pip wheel --no-index --no-deps --quiet --disable-pip-version-check -w "$packages" ./python)
"${wheel_command[@]}" --config-settings build-dir=build/package-linux
wheel="$packages/vivezeru5-$version-py3-none-linux_x86_64.whl"
check_contents "$wheel" wheel-linux_x86_64 build/package-linux
"$python" -m venv "$checks/venv"
"$checks/venv/bin/pip" install --no-index --quiet --disable-pip-version-check "$wheel"
(cd "$checks" && env -u PYTHONPATH -u VIVEZERU5_LIBRARY -u VIVEZERU5_READING_LIBRARY \
  "venv/bin/python" - "$root/examples/sounding_type5.txt" "$root/$checks/venv" <<'PY'
import sys
import vivezeru5

example, venv = sys.argv[1], sys.argv[2]
assert vivezeru5.library_path().startswith(venv), vivezeru5.library_path()
sounding = vivezeru5.read(example)
first = sounding.stations[0]
found = (sounding.format, len(sounding.stations), first.id, first.level_count, tuple(first.levels[0]))
assert found == ("type5", 3, 10001, 15, (1000, 10, 28, 22, 180, 4)), found
print("the installed wheel read", example, "with", vivezeru5.library_path())
PY
)
passed=$((passed + 1))

echo "--- Windows ZIPs"
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
wine_environment="cmake|-E|env|WINEDEBUG=-all|WINEDLLOVERRIDES=mscoree,mshtml=|WINEPREFIX=$root/build/wineprefix"
emulator64=""
if [ -x "$wine64" ]; then
  emulator64="$wine_environment|$wine64"
  # The prefix the windows-x64 presets use, made once before its first program.
  WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= WINEPREFIX="$root/build/wineprefix" "$wine64" wineboot --init
else
  echo "windows: the 64-bit ZIPs are built and checked but not run: no wine64 (apt-get install wine64)"
fi
emulator32=""
if dpkg -s wine32:i386 >/dev/null 2>&1 && [ -x /usr/lib/wine/wine ]; then
  emulator32="$wine_environment|/usr/lib/wine/wine"
else
  echo "windows: the 32-bit ZIPs are built and checked but not run: wine32 (i386) is not installed; CI does not install it, as on Debian 12 its i386 dependencies do not resolve beside the amd64 packages"
fi
for row in "win64-ucrt windows-x64 x86_64-w64-mingw32 ucrt 64" "win32-ucrt windows-x86 i686-w64-mingw32 ucrt 32" \
           "win64-msvcrt windows-x64-msvcrt x86_64-w64-mingw32 msvcrt 64" \
           "win32-msvcrt windows-x86-msvcrt i686-w64-mingw32 msvcrt 32"; do
  read -r flavour build triple crt bits <<<"$row"
  echo "--- $flavour"
  cmake --workflow --preset "package-$flavour"
  zip="$packages/vivezeru5-$version-$flavour.zip"
  check_contents "$zip" "$flavour" "build/$build"
  emulator_variable="emulator$bits"
  cmake -DZIP="$zip" -DWORK_DIR="$root/$checks/$flavour" -DSOURCE_DIR="$root" -DVERSION="$version" \
        -DTRIPLE="$triple" -DCRT="$crt" "-DEMULATOR=${!emulator_variable}" -P tests/packaging/check_windows_zip.cmake
  passed=$((passed + 1))
done

echo "--- Windows wheel"
"${wheel_command[@]}" --config-settings platform=win_amd64
wheel="$packages/vivezeru5-$version-py3-none-win_amd64.whl"
check_contents "$wheel" wheel-win_amd64 build/windows-x64
mkdir -p "$checks/wheel-win_amd64/unpacked"
(cd "$checks/wheel-win_amd64/unpacked" && cmake -E tar xf "$root/$wheel")
unpacked="$checks/wheel-win_amd64/unpacked"
grep -qx "Tag: py3-none-win_amd64" "$unpacked/vivezeru5-$version.dist-info/WHEEL"
cmp "$unpacked/vivezeru5/vivezeru5.dll" build/windows-x64/vivezeru5.dll
cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DIMAGE="$unpacked/vivezeru5/vivezeru5.dll" -DVERSION="$version" \
      "-DDESCRIPTION=vivezeru5 station data readers, 64-bit, Universal CRT" \
      -P tests/packaging/check_version_resource.cmake
passed=$((passed + 1))

ls -l "$packages"/*.zip "$packages"/*.tar.gz "$packages"/*.deb "$packages"/*.whl
echo "packages: $passed passed, 0 failed"
