#!/usr/bin/env bash
# Drives the real program in a private Xvfb through the X server, with the
# mouse and the keyboard: opens a folder by typing its path, uses one tool of
# each page and checks the folder after each, saves a screenshot of each page
# and leaves through the About page's exit button.
# Usage: e2e.sh NAMEWRIGHT_BINARY OUTPUT_FOLDER_FOR_SCREENSHOTS
set -euo pipefail
bin=$1 shots=$2
mkdir -p "$shots"
source "$(dirname "$0")/../../scripts/x11.sh"
work=$(mktemp -d /tmp/namewright-e2e-XXXXXX)
# A state folder of this run only: no journal or history of an earlier run
# (a record it cannot read, a pass it would offer to undo) meets it.
state=$(mktemp -d /tmp/namewright-state-XXXXXX)
export XDG_STATE_HOME=$state XDG_CONFIG_HOME=$state
app=""
XVFB_PID=""
trap 'kill $app 2>/dev/null || true; stop_xvfb; rm -rf "$work" "$state"' EXIT
start_xvfb
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8

for f in "hello world.txt" "Photo One.JPG" "中國報告.doc" "notes.md"; do
  printf 'content of %s' "$f" >"$work/$f"
done

win=""
fail() {
  echo "e2e: $*" >&2; echo "folder holds:" >&2; ls -A "$work" >&2
  if [ -n "$app" ] && ! kill -0 "$app" 2>/dev/null; then
    local rc=0; wait "$app" || rc=$?
    echo "the program has ended, exit status $rc" >&2
  fi
  xdotool search --name . getwindowname %@ 2>/dev/null | sed 's/^/window: /' >&2 || true
  [ -z "$win" ] || { import -window "$win" "$shots/failure.png" && echo "window at failure: $shots/failure.png" >&2; }
  exit 1
}
# Waits until the folder holds exactly these names, each with its original content.
expect() {
  local want got
  want=$(printf '%s\n' "$@" | LC_ALL=C sort)
  for _ in $(seq 50); do
    got=$(ls -A "$work" | LC_ALL=C sort)
    [ "$got" = "$want" ] && break
    sleep 0.1
  done
  [ "$got" = "$want" ] || fail "expected: $(echo $want)"
  local contents
  contents=$(cat "$work"/* | tr -d '\n' | grep -o 'content of' | wc -l)
  [ "$contents" -eq 4 ] || fail "a file lost its content"
}

"$bin" &
app=$!
wait_window || fail "the window did not appear"
win=$WIN
eval "$(xdotool getwindowgeometry --shell "$win")"   # X Y WIDTH HEIGHT
# Control centres in window pixels (the layout is in twips, 15 to a pixel;
# the pages count from the tab control at 381,8).
click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1; sleep 0.3; }
key() { xdotool key --window "$win" "$@"; sleep 0.3; }
shot() { sleep 0.3; import -window "$win" "$shots/$1"; }

# The browser: type the folder's path and press Enter, then select all.
click 328 378
xdotool mousemove $((X + 328)) $((Y + 378)) click --repeat 2 1; sleep 0.3
type_text "$work"
key Return
click 196 332

# Page 0: the case and space conversion with its defaults.
click 541 288
expect "Helloworld.txt" "Photoone.jpg" "中國報告.doc" "Notes.md"
shot page0.png

# Page 1: a custom text with a running number, for the first entry only.
key ctrl+Tab
click 493 73
type_text "图片"
sleep 0.3
click 260 48
click 541 288
expect "图片1.txt" "Photoone.jpg" "中國報告.doc" "Notes.md"
shot page1.png

# Page 2: Traditional to Simplified over every entry.
key ctrl+Tab
click 196 332
click 561 228
expect "图片1.txt" "Photoone.jpg" "中国报告.doc" "Notes.md"
shot page2.png

# Page 3: a regular expression with a group, typed; the example follows.
key ctrl+Tab
click 196 332
click 550 67
type_text "(\\d+)\\.txt$"
click 550 94
type_text "第\$1页.txt"
click 490 120
click 541 288
expect "图片第1页.txt" "Photoone.jpg" "中国报告.doc" "Notes.md"
shot page3.png

# Each file kept its own content under its new name.
for pair in "图片第1页.txt:hello world.txt" "Photoone.jpg:Photo One.JPG" \
            "中国报告.doc:中國報告.doc" "Notes.md:notes.md"; do
  [ "$(cat "$work/${pair%%:*}")" = "content of ${pair#*:}" ] || fail "${pair%%:*} holds another file's content"
done

# Page 4, "文件信息"; page 5: the exit button ends the program.
key ctrl+Tab
shot page4.png
key ctrl+Tab
shot page5.png
click 549 244
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then fail "the exit button did not end the program"; fi
wait "$app" || fail "the program ended with an error"
app=""
echo "e2e: every page used, screenshots in $shots"
