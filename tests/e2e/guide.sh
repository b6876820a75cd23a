#!/usr/bin/env bash
# Daily use through the real program in a private Xvfb, with the mouse and the
# keyboard, taking the user guide's screenshots on the way: names that would
# hide what they are, a typed filter, the existence box stopped with Escape,
# the message that counts what was renamed, the preview with its filter,
# closed with Escape, a standard of "转换标准", and whole trees: a music
# library converted, an unpacked archive's tree repaired.
# Usage: guide.sh NAMEWRIGHT_BINARY OUTPUT_FOLDER_FOR_SCREENSHOTS
set -euo pipefail
bin=$1 shots=$2
mkdir -p "$shots"
source "$(dirname "$0")/../../scripts/x11.sh"
work=$(mktemp -d /tmp/namewright-guide-XXXXXX)
# A state folder of this run only: no journal or history of an earlier run
# (a record it cannot read, a pass it would offer to undo) meets it.
state=$(mktemp -d /tmp/namewright-state-XXXXXX)
export XDG_STATE_HOME=$state XDG_CONFIG_HOME=$state
app=""
XVFB_PID=""
home=$(mktemp -d /tmp/namewright-home-XXXXXX)
ln -s "$work" "$home/files"
lib=$(mktemp -d /tmp/namewright-library-XXXXXX)
arc=$(mktemp -d /tmp/namewright-archive-XXXXXX)
trap 'kill $app 2>/dev/null || true; stop_xvfb; rm -rf "$work" "$state" "$home" "$lib" "$arc"' EXIT
start_xvfb
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8

long="这是一个很长很长的文件名，用来看列表怎样在中间省略而把扩展名留在最后.txt"
names=("旅行照片1.jpg" "照片2.jpg" "会议记录.doc" $'photo\u202egpj.exe' "$long" "notes.txt")
for f in "${names[@]}"; do printf 'content of %s' "$f" >"$work/$f"; done

fail() {
  echo "guide: $*" >&2; ls -A "$work" >&2
  [ -z "${win:-}" ] || import -window "$win" "$shots/failure.png" || true
  exit 1
}
HOME=$home "$bin" &
app=$!
wait_window || fail "the window did not appear"
win=$WIN
eval "$(xdotool getwindowgeometry --shell "$win")"
click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click "${3:-1}"; sleep 0.3; }
key() { xdotool key --window "$win" "$@"; sleep 0.3; }
shot() { sleep 0.3; import -window "$1" "$shots/$2"; }
modal() { # the newest window of that title other than the main one
  for _ in $(seq 30); do
    local w
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -v "^$win\$" | tail -n1) || true
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}

# Open the folder by its path: a right-to-left override shows as <U+202E>,
# the long name loses its middle.
xdotool mousemove $((X + 328)) $((Y + 378)) click --repeat 2 1; sleep 0.3
type_text "$work"
key Return
sleep 0.5
shot "$win" guide-list.png

# A typed filter: only the photos are listed and selected.
xdotool mousemove $((X + 80)) $((Y + 58)) click --repeat 3 1; sleep 0.3
type_text "*照片*"
key Return
click 196 332
shot "$win" guide-filter.png

# Page "批量改名", text "照片": 旅行照片1.jpg becomes 照片1.jpg; 照片2.jpg's
# new name is its own, so the box comes up; Escape stops the pass.
click 490 21
click 493 73
type_text "照片"
sleep 0.3
click 541 288
box=$(modal '^Namewright$') || fail "no existence box"
shot "$box" guide-exists.png
xdotool windowfocus --sync "$box" key Escape; sleep 0.5
box=$(modal '^Namewright$') || fail "no message after the stop"
shot "$box" guide-stopped.png
xdotool windowfocus --sync "$box" key Return
filtered() {
  [ -e "$work/照片1.jpg" ] && [ -e "$work/照片2.jpg" ] && [ -e "$work/notes.txt" ] &&
    [ -e "$work/会议记录.doc" ] && [ -e "$work/$long" ]
}
wait_for 10 filtered || fail "the filtered pass renamed the wrong files"
[ "$(ls -A "$work" | wc -l)" -eq 6 ] || fail "a file was lost"

# Every file again; the preview of page "文件名转换" from the list's menu, its
# filter on, then Escape.
xdotool mousemove $((X + 80)) $((Y + 58)) click --repeat 3 1; sleep 0.3
type_text "*.*"
key Return
click 430 21
click 196 332
click 250 100 3
xdotool key Down Return; sleep 0.8
preview=$(modal '改名预览') || fail "no preview window"
eval "$(xdotool getwindowgeometry --shell "$preview" | sed 's/^/P/')"
xdotool mousemove --sync $((PX + 20)) $((PY + PHEIGHT - 23)) click 1; sleep 0.5
shot "$preview" guide-preview.png
xdotool windowfocus --sync "$preview" key Escape
preview_gone() { ! xdotool search --onlyvisible --name '改名预览' >/dev/null 2>&1; }
wait_for 10 preview_gone || fail "Escape did not close the preview"
# "~" in the path box, and a path to a file: its folder opens with the file
# selected, and page "文件名转换" capitalises that file alone.
xdotool mousemove $((X + 328)) $((Y + 378)) click --repeat 2 1; sleep 0.3
type_text "~/files/notes.txt"
key Return
sleep 0.5
click 541 288
that_file_alone() { [ -e "$work/Notes.txt" ] && [ -e "$work/会议记录.doc" ] && [ -e "$work/照片1.jpg" ]; }
wait_for 10 that_file_alone || fail "~/files/notes.txt did not select that file alone"

# Page "其它": the standards of "转换标准" (the open list is a window of its
# own, so the screen is taken), "香港繁体" chosen, every file converted.
click 531 21
click 545 290
sleep 0.3
import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$shots/guide-standard.png"
key Down Return
click 196 332
click 561 260
hk=$(printf '%s' "$long" | opencc -c s2hk)
hong_kong() {
  [ -e "$work/會議記錄.doc" ] && [ -e "$work/$hk" ] && [ -e "$work/照片1.jpg" ] && [ -e "$work/Notes.txt" ]
}
wait_for 10 hong_kong || fail "简体转繁体 with 香港繁体 did not give opencc's names"
[ "$(ls -A "$work" | wc -l)" -eq 6 ] || fail "a file was lost"

# A music library, folders and all: "包括子文件夹" and "包括文件夹" from the
# list's menu (its last two items), every entry selected, "繁体转简体" (with
# 香港繁体 chosen above: hk2s).
for p in "說明.txt" "周杰倫/葉惠美/01 以父之名.mp3" "周杰倫/葉惠美/02 懦夫.mp3" \
         "周杰倫/范特西/01 愛在西元前.mp3" "王菲/只愛陌生人/01 夢中人.mp3" "王菲/只愛陌生人/02 紅豆.mp3"; do
  mkdir -p "$lib/$(dirname "$p")"
  printf 'song %s' "$p" >"$lib/$p"
done
# The list's menu (the program's window that was not shown before the
# click), then keys in it; done once that window has gone.
shown_windows() { xdotool search --onlyvisible --class namewright 2>/dev/null | sort; }
in_menu() {
  local before menu=""
  before=$(shown_windows)
  xdotool mousemove --sync $((X + 250)) $((Y + 100)) click 3
  menu_open() { menu=$(comm -13 <(echo "$before") <(shown_windows) | head -n1); [ -n "$menu" ]; }
  wait_for 5 menu_open || fail "the list's menu did not open"
  xdotool key "$@"
  menu_gone() { ! shown_windows | grep -qx "$menu"; }
  wait_for 5 menu_gone || fail "the list's menu did not close"
}
open_path() {
  xdotool mousemove --sync $((X + 328)) $((Y + 378)) click --repeat 2 1
  type_text "$1"
  key Return
}
open_path "$lib"
in_menu Up Up Return
in_menu Up Return
click 196 332
shot "$win" guide-tree.png
click 561 228
simplified() {
  [ -e "$lib/周杰伦/叶惠美/02 懦夫.mp3" ] && [ -e "$lib/周杰伦/范特西/01 爱在西元前.mp3" ] &&
    [ -e "$lib/王菲/只爱陌生人/02 红豆.mp3" ] && [ -e "$lib/说明.txt" ]
}
wait_for 10 simplified || fail "繁体转简体 over the library's tree did not convert its folders and songs"
[ "$(find "$lib" -type f | wc -l)" -eq 6 ] || fail "a song was lost"

# A Big5 archive unpacked with its folder: "文件名转为UTF-8" (fifth from the
# menu's end) opens the preview of the whole tree, "按此改名" repairs it.
big5() { printf '%s' "$1" | iconv -f UTF-8 -t BIG5-HKSCS; }
mkdir -p "$arc/$(big5 員工旅遊照片)"
for f in 會議記錄.doc 繁體中文檔案.txt; do printf 'doc %s' "$f" >"$arc/$(big5 "$f")"; done
for f in 第一天.jpg 第二天.jpg 電腦.jpg; do printf 'photo %s' "$f" >"$arc/$(big5 員工旅遊照片)/$(big5 "$f")"; done
open_path "$arc"
click 196 332
in_menu Up Up Up Up Up Return
preview=$(modal '改名预览') || fail "no preview of the archive's repair"
shot "$preview" guide-tree-repair.png
eval "$(xdotool getwindowgeometry --shell "$preview" | sed 's/^/P/')"
xdotool mousemove --sync $((PX + PWIDTH - 137)) $((PY + PHEIGHT - 23)) click 1
repaired() {
  [ -e "$arc/員工旅遊照片/電腦.jpg" ] && [ -e "$arc/員工旅遊照片/第一天.jpg" ] && [ -e "$arc/會議記錄.doc" ]
}
wait_for 10 repaired || fail "the archive's tree was not repaired to UTF-8"
[ "$(find "$arc" -type f | wc -l)" -eq 5 ] || fail "a file of the archive was lost"

kill "$app"; wait "$app" 2>/dev/null || true
app=""
echo "guide: filter, existence box, stop, preview, the path box, 转换标准 and trees used; screenshots in $shots"
