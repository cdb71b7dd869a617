#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each one on its committed seed corpus, then fuzzes it for a bounded
# time. A crash, a sanitizer report, a timeout, an allocation above 128 MB or a
# block that disagrees with the C library's reading of the same file stops the
# fuzzer with a non-zero status and fails the run; the input that did it is
# kept under build/fuzz/artifacts/.
#
#   VIVEZERU5_FUZZ_SECONDS   time per target (default 30)
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds="${VIVEZERU5_FUZZ_SECONDS:-30}"
targets=(fuzz_type5_analysed fuzz_characteristic fuzz_type5_plain fuzz_surface)

cmake --preset fuzz
cmake --build --preset fuzz

for target in "${targets[@]}"; do
  work="fuzz/corpus-work/$target"
  artifacts="build/fuzz/artifacts/$target"
  mkdir -p "$work" "$artifacts"
  echo "--- $target: saved corpus, then ${seconds} s of fuzzing"
  status=0
  "build/fuzz/fuzz/$target" \
    -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=128 \
    -dict=fuzz/velmor.dict -artifact_prefix="$artifacts/" -print_final_stats=1 \
    "$work" "fuzz/corpus/$target" 2> "$artifacts/log.txt" || status=$?
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::number_of_executed_units' "$artifacts/log.txt" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$artifacts/log.txt"
    echo "$target failed (status $status); inputs kept in $artifacts" >&2
    exit 1
  fi
done
echo "fuzzers: ${#targets[@]} passed, 0 failed"
