#!/usr/bin/env bash
# Configures and builds one build tree: every target, or only those named.
# Usage: scripts/build.sh [BUILD_DIR] [BUILD_TYPE] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
type=${2:-Release}
targets=("${@:3}")
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE="$type" >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$dir" --parallel "$jobs" --target "${targets[@]}"
else
  cmake --build "$dir" --parallel "$jobs"
fi
