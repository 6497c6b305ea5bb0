#!/usr/bin/env bash
# Runs a command on the current X display with openbox as its window manager, as the
# desktop program runs for its users (window placement, focus and the toolkit's
# warnings differ without one). Usage: xvfb-run ... scripts/with-window-manager.sh CMD...
set -u
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
"$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status
