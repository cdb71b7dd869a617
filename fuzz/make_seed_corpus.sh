#!/usr/bin/env bash
# Rebuilds the committed seed corpus of the fuzzers from the example files,
# the command-line tool's test data and a few hand-written edge cases.
# Usage: bash fuzz/make_seed_corpus.sh   (from anywhere)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
corpus="$root/fuzz/corpus"
rm -rf "$corpus"
mkdir -p "$corpus"/{fuzz_type5_analysed,fuzz_type5_plain,fuzz_characteristic,fuzz_surface}

seed() {  # seed TARGET NAME < contents
  cat > "$corpus/$1/$2"
}
copy() {  # copy TARGET FILE...
  local target=$1; shift
  for file in "$@"; do cp "$file" "$corpus/$target/$(basename "$file")"; done
}

for target in fuzz_type5_analysed fuzz_type5_plain; do
  copy $target "$root"/examples/sounding_type5.txt "$root"/examples/sounding_type5_decimal.txt
  [ -d "$root/tests/cli/data" ] && copy $target "$root"/tests/cli/data/type5_*.txt
  seed $target two_digit_year_march.txt <<'T'
March 5 d
9 1 2 3 2
1 2.5 -3.25 4 12
1000 10 20 15 180 5
 500 560 -10 -20 270 25
2 0 0 0 7
1 2 3 4 5 6 7
T
  seed $target counts_at_the_limits.txt <<'T'
diamond 5 limits
2026 1 1 0 1000000
7 1 2 3 6000005
T
  seed $target spelled_values.txt <<'T'
diamond	5	x
26 1 1 0 1
7 0x1p4 -inf nan 18
1000 0x10 1e+ -0 +5 .5e1
850 1e39 -1e-50 infinity NaN 3.
700 -.5 - + 0x. 9
T
  printf 'diamond 5 crlf\r\n26 1 2 3 1\r\n10001 116.30 39.90 55 12\r\n1000 10 28 22 180 4\r\n850 149 18 15 220 10\r\n' > "$corpus/$target/crlf_lines.txt"
done

copy fuzz_characteristic "$root"/examples/sounding_rozedu.txt
[ -d "$root/tests/cli/data" ] && copy fuzz_characteristic "$root"/tests/cli/data/rozedu_no_levels.txt
seed fuzz_characteristic short_and_broken.txt <<'T'
1 30001 35.0 110.0 2
1000 0 10 25 20 180 5
 850 1 150 15 nan 200
2 30002 0x24 -inf 1000000
T
seed fuzz_characteristic negative_count.txt <<'T'
0 1 2 3 -1
T

copy fuzz_surface "$root"/examples/surface_type1.txt
[ -d "$root/tests/cli/data" ] && copy fuzz_surface "$root"/tests/cli/data/surface_*.txt
seed fuzz_surface no_stations.txt <<'T'
anything 1 a 2026 1 1 0 0
T
seed fuzz_surface optional_pair_cut.txt <<'T'
x 1 y 26 1 1 0 2
1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 1 2 -1.5
T
seed fuzz_surface many_declared.txt <<'T'
x 1 y 26 1 1 0 1000000
1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24
T

for target in fuzz_type5_analysed fuzz_type5_plain fuzz_characteristic fuzz_surface; do
  : > "$corpus/$target/empty.txt"
done
