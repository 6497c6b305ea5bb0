#!/usr/bin/env bash
# Runs a command on a virtual display (1600 x 1000) with a window manager (openbox), as on
# a user's desktop: windows get frames, their sizes are negotiated, focus moves.
# Usage: scripts/with-display.sh COMMAND [ARG...]   (exit status: the command's)
set -uo pipefail
if [ "${1:-}" != --inside ]; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$0" --inside "$@"
fi
shift
ready=$(mktemp -d)
trap 'rm -rf "$ready"' EXIT
# openbox runs its start-up command once it manages the screen.
openbox --startup "touch $ready/up" >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do [ -e "$ready/up" ] && break; sleep 0.1; done
[ -e "$ready/up" ] || echo "with-display: the window manager did not start; running without it" >&2
"$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status
