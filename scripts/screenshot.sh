#!/usr/bin/env bash
# Starts namewright in a private Xvfb, waits for its window, saves a PNG.
# Usage: screenshot.sh BINARY OUTPUT.png [xdotool commands run before the shot]
set -euo pipefail
bin=$1 out=$2
shift 2
disp=:$((90 + RANDOM % 100))
Xvfb "$disp" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
trap 'kill $app $xpid 2>/dev/null || true' EXIT
export DISPLAY=$disp QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$bin" &
app=$!
win=""
for _ in $(seq 100); do
  win=$(xdotool search --name '^Namewright$' 2>/dev/null | head -n1) && [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] || { echo "no window titled Namewright" >&2; exit 1; }
sleep 0.5
for cmd in "$@"; do eval "xdotool $cmd"; sleep 0.3; done
import -window "$win" "$out"
kill "$app"
wait "$app" 2>/dev/null || true
