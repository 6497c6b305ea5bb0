#!/usr/bin/env bash
# Installs what is missing, builds, and runs Korvane on the new-project example rotor:
# the desktop program when it is built and a display is available, otherwise the
# command line's operating point.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# Only what the example runs: the desktop program and the command line (each brings
# xfoil-core and its shim); the test command builds the tests and benchmarks.
"$root/scripts/build.sh" "$root/build" Release korvane korvane-cli >/dev/null
example="$root/examples/new_turbine.kvp"
if [ -x "$root/build/app/korvane" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/app/korvane" "$example"
fi
exec "$root/build/cli/korvane-cli" op "$example"
