#!/usr/bin/env bash
# Shows the preview window over a folder with a name conflict and an entry
# where the pass stops, in a private Xvfb, and saves a screenshot of it.
# Usage: preview-shot.sh NAMEWRIGHT_BINARY OUTPUT.png
set -euo pipefail
bin=$1 out=$2
source "$(dirname "$0")/x11.sh"
work=$(mktemp -d /tmp/namewright-preview-XXXXXX)
app="" XVFB_PID=""
trap 'kill $app 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT
start_xvfb
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
# Numbered with the page's defaults: 1.txt keeps its name (a box says it
# exists), a and b become 2 and 3, c stops at the folder 4.txt.
for f in 1.txt a.txt b.txt c.txt d.txt; do echo "$f" >"$work/$f"; done
mkdir "$work/4.txt"
"$bin" &
app=$!
wait_window
eval "$(xdotool getwindowgeometry --shell "$WIN")"
click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click "${3:-1}"; sleep 0.4; }
xdotool mousemove $((X + 328)) $((Y + 378)) click --repeat 2 1; sleep 0.3
type_text "$work"
xdotool key --window "$WIN" Return; sleep 0.4
click 196 332          # 全选
click 487 20           # the tab "批量改名"
click 541 288 3        # the apply button's own menu
xdotool mousemove_relative --sync 30 12 click 1; sleep 0.8
pw=$(xdotool search --onlyvisible --name '^改名预览$' | head -n1)
[ -n "$pw" ] || { echo "no preview window" >&2; exit 1; }
import -window "$pw" "$out"
