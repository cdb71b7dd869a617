#!/usr/bin/env bash
# Checks that two builds of the library return the same blocks, float for
# float, on generated files of every format.
#
#   bench/compare_builds.sh [--stations N] BEFORE_BUILD AFTER_BUILD
#
# Both builds need the command-line tool; AFTER_BUILD also the generator
# (bench/vivezeru5_generate). Each file (N stations, default 100000; surface
# reports ten times as many, within the readers' limit) is dumped by both
# tools, one float a line with nine significant digits, with the progress
# lines silenced, and the dumps are compared. Exit status 1 on any difference.
set -euo pipefail

stations=100000
if [ "${1:-}" = --stations ]; then stations="$2"; shift 2; fi
before="${1:?usage: compare_builds.sh [--stations N] BEFORE_BUILD AFTER_BUILD}"
after="${2:?usage: compare_builds.sh [--stations N] BEFORE_BUILD AFTER_BUILD}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

surface_stations=$((stations * 10 < 999999 ? stations * 10 : 999999))
status=0
for format in type5 type5-plain rozedu surface; do
  count=$stations
  [ "$format" = surface ] && count=$surface_stations
  "$after/bench/vivezeru5_generate" "$format" 100000000000 "$scratch/$format.txt" "$count" >/dev/null
  if cmp -s <("$before/tools/vivezeru5" dump -q --format "$format" "$scratch/$format.txt") \
            <("$after/tools/vivezeru5" dump -q --format "$format" "$scratch/$format.txt"); then
    echo "$format: $count stations, the same blocks"
  else
    echo "$format: $count stations, the blocks DIFFER"
    status=1
  fi
  rm -f "$scratch/$format.txt"
done
exit $status
