#!/bin/sh
# Installs the package with pip into a fresh virtual environment, offline, and
# reads an example with it from another directory, with nothing in the
# environment pointing at the library: the wheel must carry it.
# install_in_venv.sh PYTHON PACKAGE_DIR LIBRARY EXAMPLE WORK_DIR [REASON_TO_SKIP]
set -eu
python=$1 package=$2 library=$3 example=$4 work=$5
if [ -n "${6:-}" ]; then
  echo "skipped: $6"
  exit 77
fi
if [ ! -x "$python" ] || ! "$python" -c "import ensurepip, venv" 2>/dev/null; then
  echo "skipped: $python cannot make a virtual environment with pip (apt-get install python3-venv)"
  if [ -n "${CI:-}" ]; then exit 1; fi
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
"$python" -m venv "$work/venv"
VIVEZERU5_LIBRARY=$library "$work/venv/bin/pip" install --no-index --quiet --disable-pip-version-check "$package"
cd "$work"
env -u VIVEZERU5_LIBRARY -u PYTHONPATH "$work/venv/bin/python" - "$example" "$work/venv" <<'PY'
import sys
import vivezeru5

example, venv = sys.argv[1], sys.argv[2]
assert vivezeru5.library_path().startswith(venv), vivezeru5.library_path()
sounding = vivezeru5.read(example)
assert sounding.format == "type5" and len(sounding.stations) == 3, sounding
print("installed package read", example, "with", vivezeru5.library_path())
PY
