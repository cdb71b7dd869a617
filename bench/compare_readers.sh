#!/usr/bin/env bash
# Whole-process comparison of the readers with the yardstick, the
# straightforward implementation in bench/straightforward/ (fscanf, a linked
# list, one block; the analysis step by step in double precision), and the
# cost of the analysis per station. Prints a Markdown table.
#
#   bench/compare_readers.sh [--smoke] [--runs N] BUILD_DIR
#
# BUILD_DIR is a build with the benchmarks (cmake --preset default gives
# build/default). Files are generated into a scratch directory and removed
# at the end: a 100 MB decimal type-5 file and an 80 MB surface file for the
# whole-process comparisons, 20 MB analysed files for CPU time per station,
# and 1 MB files for instruction counts.
#
# Each round runs the library's reader, the yardstick (the straightforward
# reader of the same format) and, for the unanalysed formats, the from_chars
# floor on the same file, starting with a different one every round; the
# table gives medians of wall and CPU (user + system) time and the largest
# peak resident memory over the rounds. Instructions are those of the reader
# call alone, counted with valgrind's callgrind, which does not depend on the
# machine's load. --smoke uses tiny files, one round and no instruction
# counts, only to check that everything works; nothing here fails on a time.
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
if [ ! -x /usr/bin/time ]; then
  echo "compare_readers.sh: /usr/bin/time not found (apt-get install time)" >&2
  exit 77  # skipped
fi
generate="$build/bench/vivezeru5_generate"
read_once="$build/bench/vivezeru5_read_once"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

if ((smoke)); then
  big_plain=200000; big_surface=100000; analysed=50000; small=20000
else
  big_plain=100000000; big_surface=80000000; analysed=20000000; small=1000000
fi

declare -A stations bytes
make_file() {  # name format size
  local line
  line="$("$generate" "$2" "$3" "$scratch/$1.txt")"
  bytes[$1]="$(awk '{print $2}' <<<"$line")"
  stations[$1]="$(awk '{print $4}' <<<"$line")"
}
make_file plain_100MB type5-plain "$big_plain"
make_file surface_80MB surface "$big_surface"
make_file type5_20MB type5 "$analysed"
make_file rozedu_20MB rozedu "$analysed"
make_file type5_1MB type5 "$small"
make_file rozedu_1MB rozedu "$small"
make_file plain_1MB type5-plain "$small"
make_file surface_1MB surface "$small"

# The yardstick must do the same work: its blocks equal the library's.
"$read_once" --same type5-plain straightforward-type5-plain "$scratch/plain_100MB.txt" >/dev/null
"$read_once" --same surface straightforward-surface "$scratch/surface_80MB.txt" >/dev/null
"$read_once" --same type5 straightforward-type5 "$scratch/type5_20MB.txt" >/dev/null
"$read_once" --same rozedu straightforward-rozedu "$scratch/rozedu_20MB.txt" >/dev/null

# One timed run: appends "wall cpu peak_kib" to $scratch/times.READER.FILE.
timed() {  # reader file
  /usr/bin/time -f '%e %U %S %M' -o "$scratch/time.out" "$read_once" "$1" "$scratch/$2.txt" >/dev/null
  awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$scratch/time.out" >>"$scratch/times.$1.$2"
}

# Rounds over the readers of one file, each round starting one reader later.
rounds() {  # file reader...
  local file="$1" round i
  shift
  local readers=("$@")
  for ((round = 0; round < runs; ++round)); do
    for ((i = 0; i < ${#readers[@]}; ++i)); do
      timed "${readers[(round + i) % ${#readers[@]}]}" "$file"
    done
  done
}

rounds plain_100MB type5-plain straightforward-type5-plain from-chars-floor
rounds surface_80MB surface straightforward-surface from-chars-floor
rounds type5_20MB type5 straightforward-type5
rounds rozedu_20MB rozedu straightforward-rozedu

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
column_median() { awk -v c="$1" '{print $c}' "$2" | median; }

declare -A symbol=(
  [type5]=readVelmorData5 [type5-plain]=readVelmor5Only [rozedu]=readRozeduData [surface]=ReadVelmorData1
  [straightforward-type5]='vivezeru5::straightforward::readVelmorData5*'
  [straightforward-type5-plain]='vivezeru5::straightforward::readVelmor5Only*'
  [straightforward-rozedu]='vivezeru5::straightforward::readRozeduData*'
  [straightforward-surface]='vivezeru5::straightforward::ReadVelmorData1*'
  [from-chars-floor]='vivezeru5::bench::convertEveryToken*')
instructions() {  # reader file
  if ((smoke)) || ! command -v valgrind >/dev/null; then echo "-"; return; fi
  valgrind --tool=callgrind --callgrind-out-file=/dev/null --toggle-collect="${symbol[$1]}" \
    "$read_once" "$1" "$scratch/$2.txt" 2>&1 >/dev/null | awk '/Collected :/ {print $NF}'
}

block_mib() {  # reader file
  case "$1" in
    type5-plain|surface) "$read_once" --size "$1" "$scratch/$2.txt" ;;
    *) echo "-" ;;
  esac
}

echo "| reader | file | MB | stations | MB/s | stations/s | CPU µs per station | instructions per station (1 MB file) | peak MiB | block MiB | wall s | faster than the yardstick |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|"
row() {  # reader file small_file yardstick_reader
  local times="$scratch/times.$1.$2" wall cpu peak ratio="-" count
  wall="$(column_median 1 "$times")"
  cpu="$(column_median 2 "$times")"
  peak="$(awk '{if ($3 > m) m = $3} END {printf "%.1f", m / 1024}' "$times")"
  if [ -n "$4" ]; then
    ratio="$(awk -v y="$(column_median 1 "$scratch/times.$4.$2")" -v w="$wall" \
      'BEGIN {printf (w > 0 ? "%.2f×" : "-"), (w > 0 ? y / w : 0)}')"
  fi
  count="$(instructions "$1" "$3")"
  awk -v r="$1" -v f="$2" -v b="${bytes[$2]}" -v s="${stations[$2]}" -v w="$wall" -v c="$cpu" -v peak="$peak" \
      -v block="$(block_mib "$1" "$2")" -v i="$count" -v si="${stations[$3]}" -v ratio="$ratio" 'BEGIN {
    per = (i == "-" || i == "") ? "-" : sprintf("%.0f", i / si)
    printf "| %s | %s | %.1f | %d | %.0f | %.0f | %.1f | %s | %s | %s | %.3f | %s |\n",
      r, f, b / 1e6, s, (w > 0 ? b / 1e6 / w : 0), (w > 0 ? s / w : 0), c * 1e6 / s, per, peak, block, w, ratio }'
}
row type5-plain plain_100MB plain_1MB straightforward-type5-plain
row straightforward-type5-plain plain_100MB plain_1MB ""
row from-chars-floor plain_100MB plain_1MB ""
row surface surface_80MB surface_1MB straightforward-surface
row straightforward-surface surface_80MB surface_1MB ""
row from-chars-floor surface_80MB surface_1MB ""
row type5 type5_20MB type5_1MB straightforward-type5
row straightforward-type5 type5_20MB type5_1MB ""
row rozedu rozedu_20MB rozedu_1MB straightforward-rozedu
row straightforward-rozedu rozedu_20MB rozedu_1MB ""
# The command-line tool's batch mode over 200 analysed files, on one thread
# and on two, when the tool has it.
tool="$build/tools/vivezeru5"
if [ -x "$tool" ] && "$tool" --help 2>&1 | grep -q batch; then
  mkdir -p "$scratch/batch"
  for ((i = 0; i < 200; ++i)); do
    cp "$scratch/type5_1MB.txt" "$scratch/batch/$(printf 'file%03d.txt' "$i")"
  done
  [ "$smoke" = 1 ] && find "$scratch/batch" -name 'file1*' -delete
  for ((round = 0; round < runs; ++round)); do
    for jobs in $((1 + round % 2)) $((2 - round % 2)); do
      /usr/bin/time -f '%e %U %S %M' -o "$scratch/time.out" "$tool" batch -j "$jobs" -o /dev/null "$scratch/batch" \
        >/dev/null 2>&1
      awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$scratch/time.out" >>"$scratch/times.batch.$jobs"
    done
  done
  files="$(find "$scratch/batch" -type f | wc -l)"
  echo
  echo "| vivezeru5 batch | files | wall s | files/s | throughput against -j 1 |"
  echo "|---|---|---|---|---|"
  one="$(column_median 1 "$scratch/times.batch.1")"
  for jobs in 1 2; do
    awk -v j="$jobs" -v n="$files" -v w="$(column_median 1 "$scratch/times.batch.$jobs")" -v one="$one" \
      'BEGIN {printf "| -j %d | %d | %.3f | %.1f | %s |\n", j, n, w, (w > 0 ? n / w : 0), (w > 0 ? sprintf("%.2f×", one / w) : "-")}'
  done
fi

echo
echo "type5 = readVelmorData5 (analysed), rozedu = readRozeduData (analysed), type5-plain = readVelmor5Only,"
echo "surface = ReadVelmorData1; straightforward-* = the yardstick: fscanf, a linked list, one block, the"
echo "analysis step by step in double precision (bench/straightforward/); from-chars-floor ="
echo "every token converted with std::from_chars, nothing else. Medians of $runs rounds; instructions"
echo "per station: the reader call on the 1 MB file of the same format, divided by its stations."
