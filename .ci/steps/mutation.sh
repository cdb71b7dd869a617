#!/usr/bin/env bash
# Mutation check of the analysis: every listed single fault in analysis/ must
# be noticed by the unit and golden-block tests (see tests/mutation/).
set -euo pipefail
cd "$(dirname "$0")/../.."
python3 tests/mutation/run_mutants.py --only analysis
