#!/usr/bin/env bash
# Lines of C++ in the tests against lines of C++ in the program's folders, and the share.
# Benchmarks, fuzz corpora and data files are not counted; generated sources are not in git.
# Usage: scripts/test-share.sh
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files -- "$@" | grep -E '\.(cpp|h|hpp|cc)$' | grep -v '/corpus/' | tr '\n' '\0' | xargs -0 -r cat | wc -l; }
program=$(count bemt turbine project exchange app results cli xfoil-core optimise python)
tests=$(count tests)
echo "program: $program lines of C++"
echo "tests:   $tests lines of C++"
awk -v t="$tests" -v p="$program" 'BEGIN { printf "share:   %.1f %%\n", 100 * t / p }'
