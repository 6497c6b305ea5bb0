#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/*_fuzz.cpp) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, and runs each for SECONDS (default 60) from
# its seed corpus in tests/fuzz/corpus/<target>/. A target fails on a crash, a sanitizer
# report, an input that takes longer than 1 s or needs more than 512 MB.
# Usage: scripts/fuzz.sh [SECONDS]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS]  (a whole number of seconds per target)" >&2
  exit 2
fi
"$root/scripts/setup.sh" || exit 1

build="$root/build-fuzz"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Asan -DKORVANE_FUZZ=ON -DBUILD_TESTING=OFF -DKORVANE_BENCHMARKS=OFF \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" >/dev/null || exit 1
cmake --build "$build" --target korvane_fuzzers --parallel "$(nproc)" >/dev/null || exit 1

export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-/usr/bin/llvm-symbolizer-14}
status=0
for source in "$root"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$source" .cpp)
  target=${name%_fuzz}
  work="$build/fuzz-runs/$target"
  mkdir -p "$work/corpus" "$work/artifacts"
  log="$work/fuzz.log"
  # The first folder collects what this run finds; the seeds are only read.
  "$build/tests/fuzz/$name" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  if [ $rc -eq 0 ]; then
    echo "fuzz $target: ${runs:-?} inputs in $seconds s, nothing found"
  else
    echo "fuzz $target: FAILED after ${runs:-?} inputs (log $log, input in $work/artifacts/)"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5
    status=1
  fi
done
exit $status
