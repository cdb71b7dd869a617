#!/usr/bin/env bash
# Builds the library and runs every test (unit, golden, reader, hardening,
# command-line, Python, packaging and benchmark smoke tests). On Debian it
# first installs the packages the tests need: as root with apt-get, otherwise
# it stops at once and prints the apt-get line to run.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev pkg-config python3 python3-pytest python3-numpy
          python3-pandas python3-dask python3-distributed python3-xarray python3-netcdf4 python3-venv fp-compiler zlib1g-dev)
if command -v dpkg-query >/dev/null 2>&1; then
  missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  if ((${#missing[@]})); then
    if [ "$(id -u)" -ne 0 ]; then
      echo "The tests need these Debian packages; install them with:" >&2
      echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
      exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
fi

cmake --workflow --preset default
