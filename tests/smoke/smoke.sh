#!/usr/bin/env bash
# Starts the real program in Xvfb, waits for its window and saves a screenshot.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$2
rm -f "$out"
"$here/../../scripts/screenshot.sh" "$1" "$out"
size=$(identify -format '%w %h' "$out")
echo "screenshot $out: $size"
# The window's client area is 718 x 404.
[ "$size" = "718 404" ]
