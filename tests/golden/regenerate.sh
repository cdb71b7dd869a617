#!/usr/bin/env bash
# Rewrites the edge-sounding corpus and its expected blocks from the current
# library: review the diff of tests/golden/data before committing it.
#   tests/golden/regenerate.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/default}"
python3 tests/golden/generate_soundings.py
cmake --build "$build" --target vivezeru5_tests
VIVEZERU5_UPDATE_GOLDEN=1 "$build/tests/vivezeru5_tests" --gtest_filter='EdgeSoundings/GoldenBlocks.*'
