#!/usr/bin/env bash
# Cross-builds the Windows DLL with mingw-w64 for 64-bit and 32-bit Windows, in
# both C runtime flavours (Universal CRT and msvcrt.dll), warnings as errors,
# and checks every DLL's export and import tables. The 64-bit DLLs then run
# under wine64 in the host test: their blocks, standard output and standard
# error must equal the Linux golden files, also with the x87 control word at
# 0x27f and a German locale, and 2,000 load/unload cycles must end cleanly.
# The 32-bit DLLs are built and checked but not run (that needs wine32).
# Both 64-bit presets share one wine prefix, build/wineprefix, made once.
set -euo pipefail
cd "$(dirname "$0")/../.."

export VIVEZERU5_WERROR=ON
for preset in windows-x64 windows-x64-msvcrt windows-x86 windows-x86-msvcrt; do
  echo "--- $preset"
  cmake --workflow --preset "$preset"
done
echo "windows: 4 presets passed"
