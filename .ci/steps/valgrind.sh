#!/usr/bin/env bash
# Runs the four readers under valgrind on the example files, the command-line
# tool's test data and the fuzzers' seed corpus: any invalid read or write,
# use of an uninitialised value, or leak (definite, indirect or possible)
# fails the run. The driver also checks each block against the C-library
# reading of the same file.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/hardening-valgrind
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVIVEZERU5_BUILD_TOOLS=OFF -DVIVEZERU5_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target vivezeru5_read_files

files=(examples/* fuzz/corpus/*/* tests/cli/data/* tests/golden/data/*.txt)
valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
  --track-origins=yes "$build/tests/vivezeru5_read_files" "${files[@]}"
echo "valgrind: 1 passed, 0 failed"
