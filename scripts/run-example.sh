#!/usr/bin/env bash
# Installs what is missing, builds, and runs Korvane on the bundled example rotor.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" Release >/dev/null
"$root/build/demo/korvane-demo"
