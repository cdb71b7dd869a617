#!/bin/sh
# Runs the Python binding tests: run_pytest.sh PYTHON TESTS_DIR [REASON_TO_SKIP]
# Exit status 77 (reported by CTest as skipped) when the interpreter or pytest
# is missing, or when a reason to skip is given. Under CI (CI set) a missing
# interpreter or module fails instead: CI installs them, and a skipped suite
# would pass unseen.
python=$1
tests=$2
if [ -n "$3" ]; then
  echo "skipped: $3"
  exit 77
fi
missing() {
  echo "$1 (apt-get install python3-pytest python3-numpy python3-pandas python3-dask python3-distributed python3-xarray python3-netcdf4 python3-venv)"
  if [ -n "$CI" ]; then exit 1; fi
  exit 77
}
if [ ! -x "$python" ]; then
  missing "skipped: $python not found"
fi
if ! "$python" -c "import pytest" 2>/dev/null; then
  missing "skipped: pytest is not installed for $python"
fi
if [ -n "$CI" ] && ! "$python" -c "import numpy, pandas, dask.dataframe, distributed, xarray, netCDF4" 2>/dev/null; then
  missing "numpy, pandas, dask, distributed, xarray or netCDF4 is not installed for $python"
fi
exec "$python" -m pytest -p no:cacheprovider -q "$tests"
