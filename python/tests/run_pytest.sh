#!/bin/sh
# Runs the Python binding tests: run_pytest.sh PYTHON TESTS_DIR [REASON_TO_SKIP]
# Exit status 77 (reported by CTest as skipped) when the interpreter or pytest
# is missing, or when a reason to skip is given.
python=$1
tests=$2
if [ -n "$3" ]; then
  echo "skipped: $3"
  exit 77
fi
if [ ! -x "$python" ]; then
  echo "skipped: $python not found"
  exit 77
fi
if ! "$python" -c "import pytest" 2>/dev/null; then
  echo "skipped: pytest is not installed for $python (apt-get install python3-pytest)"
  exit 77
fi
exec "$python" -m pytest -p no:cacheprovider -q "$tests"
