#!/usr/bin/env bash
# Folders of names written in Big5 and in Shift-JIS, through the real program
# in a private Xvfb: the list shows the names as they were written, the file
# list's menu opens the repair's preview (screenshots of both), and its
# "按此改名" makes every name UTF-8 with its content.
# Usage: legacy.sh NAMEWRIGHT_BINARY OUTPUT_FOLDER_FOR_SCREENSHOTS
set -euo pipefail
bin=$1 shots=$2
mkdir -p "$shots"
source "$(dirname "$0")/../../scripts/x11.sh"
work=$(mktemp -d /tmp/namewright-legacy-XXXXXX)
# A state folder of this run only: no journal or history of an earlier run
# (a record it cannot read, a pass it would offer to undo) meets it.
state=$(mktemp -d /tmp/namewright-state-XXXXXX)
export XDG_STATE_HOME=$state XDG_CONFIG_HOME=$state
app=""
XVFB_PID=""
trap 'kill $app 2>/dev/null || true; stop_xvfb; rm -rf "$work" "$state"' EXIT
start_xvfb
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8

fail() {
  echo "legacy: $*" >&2
  ls -A "$work"/* >&2 || true
  exit 1
}

# name:code page. The names are this script's own, written by iconv.
names=("會議記錄.doc:BIG5-HKSCS" "電腦.TXT:BIG5-HKSCS" "繁體中文檔案.txt:BIG5-HKSCS"
       "日本語のファイル.txt:CP932" "東京タワー.JPG:CP932" "会議資料 2024.xlsx:CP932")
mkdir "$work/big5" "$work/sjis"
for pair in "${names[@]}"; do
  name=${pair%%:*} page=${pair#*:}
  folder=$work/sjis
  [ "$page" = CP932 ] || folder=$work/big5
  printf 'content of %s' "$name" >"$folder/$(printf '%s' "$name" | iconv -f UTF-8 -t "$page")"
done

for folder in big5 sjis; do
  "$bin" &
  app=$!
  wait_window || fail "the window did not appear"
  win=$WIN
  eval "$(xdotool getwindowgeometry --shell "$win")"
  click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click "${3:-1}"; sleep 0.3; }
  # The path box, then the list: select every entry.
  xdotool mousemove $((X + 328)) $((Y + 378)) click --repeat 2 1; sleep 0.3
  type_text "$work/$folder"
  xdotool key --window "$win" Return; sleep 0.5
  import -window "$win" "$shots/$folder-list.png"
  click 196 332

  # The list's menu, from its last items up: "包括文件夹", "包括子文件夹",
  # "排序方式", "文件名编码", "文件名转为UTF-8".
  click 250 100 3
  xdotool key Up Up Up Up Up Return
  preview=""
  shown() { preview=$(xdotool search --onlyvisible --name '改名预览' 2>/dev/null | head -n1) && [ -n "$preview" ]; }
  wait_for 10 shown || fail "no preview window for $folder"
  sleep 0.5 # drawn before the picture is taken
  import -window "$preview" "$shots/$folder-repair.png"
  [ "$(ls "$work/$folder" | iconv -f UTF-8 -t UTF-8 2>/dev/null | wc -l)" -ne 3 ] ||
    fail "the preview renamed something in $folder"

  # "按此改名" stands left of "关闭" in the preview's bottom right corner.
  eval "$(xdotool getwindowgeometry --shell "$preview" | sed 's/^/P/')"
  xdotool mousemove --sync $((PX + PWIDTH - 137)) $((PY + PHEIGHT - 23)) click 1
  repaired() {
    local pair name
    for pair in "${names[@]}"; do
      name=${pair%%:*}
      [ "$pair" != "${pair%CP932}" ] && [ $folder = big5 ] && continue
      [ "$pair" = "${pair%CP932}" ] && [ $folder = sjis ] && continue
      [ "$(cat "$work/$folder/$name" 2>/dev/null)" = "content of $name" ] || return 1
    done
  }
  wait_for 10 repaired || fail "a name is not UTF-8 with its content after the repair"
  kill "$app"; wait "$app" 2>/dev/null || true
  app=""
done
echo "legacy: Big5 and Shift-JIS folders read and repaired, screenshots in $shots"
