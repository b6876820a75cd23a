#!/usr/bin/env bash
# Starts namewright in a private Xvfb, waits for its window, saves a PNG.
# Usage: screenshot.sh BINARY OUTPUT.png [xdotool commands run before the shot]
set -euo pipefail
source "$(dirname "$0")/x11.sh"
bin=$1 out=$2
shift 2
app="" XVFB_PID=""
trap 'kill $app 2>/dev/null || true; stop_xvfb' EXIT
start_xvfb
export QT_QPA_PLATFORM=xcb
"$bin" &
app=$!
wait_window
for cmd in "$@"; do eval "xdotool $cmd"; sleep 0.3; done
import -window "$WIN" "$out"
kill "$app"
wait "$app" 2>/dev/null || true
