#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite four ways: every test
# in the release build (window tests on a virtual display with a window manager,
# scripts/with-display.sh), then the Debian package made from it checked as installed
# (scripts/test-package.sh; dpkg -i and removal only as root with CI set); every test again, window
# tests included, in a build with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/); each fuzz target for 20 s (scripts/fuzz.sh, build-fuzz/); and the tests
# of the parallel sweeps under ThreadSanitizer (build-tsan/).
# Usage: scripts/run-tests.sh   (exit status 0 when everything passed)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" || exit 1

display=("$root/scripts/with-display.sh")
status=0
# CTest's per-test lines only for failures; its summary ("N% tests passed, ... out of M")
# always.
run_ctest() {
  (cd "$1" && "${display[@]}" ctest --output-on-failure --timeout 900 -j2 2>&1) |
    grep -v -E '^ *(Start +[0-9]+:|[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed)'
  local rc=${PIPESTATUS[0]}
  return "$rc"
}

echo "== Release build"
"$root/scripts/build.sh" "$root/build" Release >/dev/null || exit 1
echo "== Tests"
run_ctest "$root/build" || status=1
echo "== Debian package"
"$root/scripts/test-package.sh" || status=1

echo "== Build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Asan -DKORVANE_BENCHMARKS=OFF >/dev/null || exit 1
cmake --build "$root/build-asan" --parallel "$(nproc)" >/dev/null || exit 1
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# Every report fails its test. The suppressions (see the file) are leaks inside the
# system's GUI libraries, not Korvane's.
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_ctest "$root/build-asan" || status=1
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

echo "== Fuzzing, 20 s per target"
"$root/scripts/fuzz.sh" 20 || status=1

echo "== Parallel sweep tests under ThreadSanitizer"
cmake -S "$root" -B "$root/build-tsan" -DCMAKE_BUILD_TYPE=Tsan -DKORVANE_CORE_ONLY=ON >/dev/null || exit 1
cmake --build "$root/build-tsan" --target bemt_tests --parallel "$(nproc)" >/dev/null || exit 1
(cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure --timeout 600 -j2 \
    -R '^(ParallelSweep|PolarCopies|ThreadCountVariable)\.') || status=1

exit $status
