#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: every test in the
# release build (GUI tests under a virtual display), then the numerical core's tests
# again under AddressSanitizer and UndefinedBehaviorSanitizer, and the tests of the
# parallel sweeps under ThreadSanitizer.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" || exit 1

status=0
echo "== Release build"
"$root/scripts/build.sh" "$root/build" Release >/dev/null || exit 1
echo "== Tests"
(cd "$root/build" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 600 -j2) || status=1

echo "== Core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Asan -DKORVANE_CORE_ONLY=ON >/dev/null || exit 1
cmake --build "$root/build-asan" --parallel "$(nproc)" >/dev/null || exit 1
(cd "$root/build-asan" && ctest --output-on-failure --timeout 600 -j2) || status=1

echo "== Parallel sweep tests under ThreadSanitizer"
cmake -S "$root" -B "$root/build-tsan" -DCMAKE_BUILD_TYPE=Tsan -DKORVANE_CORE_ONLY=ON >/dev/null || exit 1
cmake --build "$root/build-tsan" --target bemt_tests --parallel "$(nproc)" >/dev/null || exit 1
(cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure --timeout 600 -j2 \
    -R '^(ParallelSweep|PolarCopies|ThreadCountVariable)\.') || status=1

exit $status
