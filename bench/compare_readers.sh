#!/usr/bin/env bash
# Whole-process comparison of the readers with the fscanf yardstick, and the
# cost of the analysis per station. Prints a Markdown table.
#
#   bench/compare_readers.sh [--smoke] [--runs N] BUILD_DIR
#
# BUILD_DIR is a build with the benchmarks (cmake --preset default gives
# build/default). The files are generated into a scratch directory, removed
# at the end: type-5 decimal 100 MB, surface 80 MB, and 1 MB files of every
# format for instruction counts. Each timed pair runs the library's reader and
# the yardstick one after the other, alternating which goes first; the table
# gives medians of wall and CPU time and the largest peak resident memory.
# Instructions are counted with valgrind's callgrind, which does not depend
# on the machine's load. --smoke uses tiny files and one run, only to check
# that everything works; nothing here ever fails on a time.
set -euo pipefail

smoke=0
runs=5
while (($#)); do
  case "$1" in
    --smoke) smoke=1; runs=1; shift ;;
    --runs) runs="$2"; shift 2 ;;
    *) break ;;
  esac
done
build="${1:?usage: compare_readers.sh [--smoke] [--runs N] BUILD_DIR}"
generate="$build/bench/vivezeru5_generate"
read_once="$build/bench/vivezeru5_read_once"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

if ((smoke)); then
  big_plain=200000; big_surface=100000; small=20000; cpu_size=20000
else
  big_plain=100000000; big_surface=80000000; small=1000000; cpu_size=20000000
fi

declare -A stations bytes
make_file() {  # name format size
  local line
  line="$("$generate" "$2" "$3" "$scratch/$1.txt")"
  bytes[$1]="$(awk '{print $2}' <<<"$line")"
  stations[$1]="$(awk '{print $4}' <<<"$line")"
}
make_file plain_big type5-plain "$big_plain"
make_file surface_big surface "$big_surface"
make_file type5_small type5 "$small"
make_file plain_small type5-plain "$small"
make_file surface_small surface "$small"
make_file rozedu_small rozedu "$small"
make_file type5_cpu type5 "$cpu_size"

# The yardstick must do the same work: its blocks equal the library's.
"$read_once" --same type5-plain yardstick-type5-plain "$scratch/plain_big.txt" >/dev/null
"$read_once" --same surface yardstick-surface "$scratch/surface_big.txt" >/dev/null

median() { sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

# One timed run: appends "wall cpu peak_kib" to $scratch/times.READER.FILE.
timed() {  # reader file
  /usr/bin/time -f '%e %U %S %M' -o "$scratch/time.out" "$read_once" "$1" "$scratch/$2.txt" >/dev/null
  awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$scratch/time.out" >>"$scratch/times.$1.$2"
}

# Alternating pairs of the library's reader and the yardstick.
timed_pairs() {  # reader yardstick file
  for ((run = 0; run < runs; ++run)); do
    if ((run % 2)); then timed "$2" "$3"; timed "$1" "$3"; else timed "$1" "$3"; timed "$2" "$3"; fi
  done
}

column_median() { awk -v c="$1" '{print $c}' "$2" | median; }
peak_mib() { awk '{if ($3 > m) m = $3} END {printf "%.1f", m / 1024}' "$1"; }

instructions() {  # reader file
  if ((smoke)) || ! command -v valgrind >/dev/null; then echo "-"; return; fi
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$read_once" "$1" "$scratch/$2.txt" 2>&1 >/dev/null |
    awk '/Collected :/ {print $NF}'
}

timed_pairs type5-plain yardstick-type5-plain plain_big
timed_pairs surface yardstick-surface surface_big
for ((run = 0; run < runs; ++run)); do timed type5 type5_cpu; done

echo "| reader | file | MB | stations | MB/s | stations/s | CPU µs/station | instructions/station (1 MB file) | peak MiB | wall s | vs yardstick |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
row() {  # reader file small_file yardstick_wall
  local times="$scratch/times.$1.$2" wall cpu mb
  wall="$(column_median 1 "$times")"
  cpu="$(column_median 2 "$times")"
  mb="$(awk -v b="${bytes[$2]}" 'BEGIN {printf "%.1f", b / 1e6}')"
  local count="${instructions_count:-}"
  [ -n "$3" ] && count="$(instructions "$1" "$3")"
  awk -v r="$1" -v f="$2" -v mb="$mb" -v s="${stations[$2]}" -v w="$wall" -v c="$cpu" -v peak="$(peak_mib "$times")" \
      -v i="$count" -v si="${stations[${3:-$2}]}" -v y="$4" 'BEGIN {
    ratio = (y == "" || w == 0) ? "-" : sprintf("%.2f×", y / w)
    per = (i == "-" || i == "") ? "-" : sprintf("%.0f", i / si)
    printf "| %s | %s | %s | %d | %.0f | %.0f | %.1f | %s | %s | %.3f | %s |\n",
      r, f, mb, s, (w > 0 ? mb / w : 0), (w > 0 ? s / w : 0), c * 1e6 / s, per, peak, w, ratio }'
}
yard_plain="$(column_median 1 "$scratch/times.yardstick-type5-plain.plain_big")"
yard_surface="$(column_median 1 "$scratch/times.yardstick-surface.surface_big")"
row type5-plain plain_big plain_small "$yard_plain"
row yardstick-type5-plain plain_big plain_small ""
row surface surface_big surface_small "$yard_surface"
row yardstick-surface surface_big surface_small ""
row type5 type5_cpu type5_small ""
echo
echo "readers: type5 = readVelmorData5 (analysed), type5-plain = readVelmor5Only, surface = ReadVelmorData1;"
echo "wall and CPU: medians of $runs runs; peak: the largest maximum resident set size."
