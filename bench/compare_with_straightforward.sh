#!/usr/bin/env bash
# The long comparison of the library's four readers with the straightforward
# implementation: every float of every block, bit for bit, and the progress
# lines, on generated files of every format.
#
#   bench/compare_with_straightforward.sh [--stations N] [--first-seed S] [--jobs J] BUILD_DIR
#
# BUILD_DIR is a build with the benchmarks directory (cmake --preset default
# gives build/default; the comparison needs no Google Benchmark). N stations of
# each format (default 1,000,000) in files of at most 20,000 stations; file f
# of a format is drawn from seed S + 4f + the format's place in type5,
# type5-plain, rozedu, surface (default S = 1), so that no two files share a
# seed, with 0, 2% or 20% of the values missing in turn. J processes (default
# 2) share the files; each generates a file into its scratch directory,
# compares it and deletes it, so the disk holds a few files at a time. Prints
# every difference (at most 20 a format and process), then one line a format;
# exit status 1 on any difference.
set -euo pipefail

stations=1000000
first_seed=1
jobs=2
while (($#)); do
  case "$1" in
    --stations) stations="$2"; shift 2 ;;
    --first-seed) first_seed="$2"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    *) break ;;
  esac
done
build="${1:?usage: compare_with_straightforward.sh [--stations N] [--first-seed S] [--jobs J] BUILD_DIR}"
program="$build/bench/vivezeru5_compare_straightforward"
if [ ! -x "$program" ]; then
  echo "compare_with_straightforward.sh: $program not found (cmake --build $build --target vivezeru5_compare_straightforward)" >&2
  exit 2
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

per_file=20000
files=$(((stations + per_file - 1) / per_file))
echo "$stations stations of each format in $files files a format of at most $per_file stations, $jobs processes"
start=$SECONDS
pids=()
for ((shard = 0; shard < jobs; ++shard)); do
  "$program" --stations "$stations" --file-stations "$per_file" --first-seed "$first_seed" \
    --shard "$shard/$jobs" >"$scratch/shard$shard.txt" 2>&1 &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
  wait "$pid" || status=1
done

# The differences, then the worked examples and one line a format over all
# processes.
cat "$scratch"/shard*.txt | grep -v -e '^worked examples:' -e '^[a-z0-9-]*: [0-9]* stations, ' || true
grep -h '^worked examples:' "$scratch"/shard*.txt | sort -u
place=0
for format in type5 type5-plain rozedu surface; do
  grep -h "^$format: [0-9]* stations, " "$scratch"/shard*.txt |
    awk -v f="$format" -v first=$((first_seed + place)) -v last=$((first_seed + place + 4 * (files - 1))) '
      # FORMAT: N stations, F files (seeds A..B step K, missing shares L), M floats, then either
      # P progress lines, identical   or   D floats differ in S stations; SLOT: C; ...; progress lines differ in G files
      { stations += $2; count += $4; shares = $12; floats += $13
        if ($0 ~ /progress lines, identical$/) { lines += $15; next }
        differ = 1; floatsDiffer += $15; stationsDiffer += $19
        parts = split($0, part, "; ")
        for (i = 2; i < parts; ++i) { n = split(part[i], kv, ": "); bySlot[kv[1]] += kv[n] }
        split(part[parts], words, " "); progressFiles += words[5] }
      END { sub(/\),$/, "", shares)
            printf "%s: %d stations, %d files (seeds %d..%d step 4, missing shares %s), %d floats, ", f, stations,
              count, first, last, shares, floats
            if (!differ) { printf "%d progress lines, identical\n", lines; exit }
            printf "%d floats differ in %d stations", floatsDiffer, stationsDiffer
            for (slot in bySlot) printf "; %s: %d", slot, bySlot[slot]
            printf "; progress lines differ in %d files\n", progressFiles }'
  place=$((place + 1))
done
echo "$((SECONDS - start)) s"
exit $status
