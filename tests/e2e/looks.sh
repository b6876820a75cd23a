#!/usr/bin/env bash
# The window as three kinds of user see it, for the guide: maximised under a
# window manager over a folder of 20,000 files, in Traditional Chinese on a
# Taiwanese desktop, and on a dark palette (qt6ct's "darker").
# Usage: looks.sh NAMEWRIGHT_BINARY OUTPUT_FOLDER_FOR_SCREENSHOTS
set -euo pipefail
bin=$1 shots=$2
mkdir -p "$shots"
source "$(dirname "$0")/../../scripts/x11.sh"
work=$(mktemp -d /tmp/namewright-looks-XXXXXX)
state=$(mktemp -d /tmp/namewright-state-XXXXXX)
export XDG_STATE_HOME=$state XDG_CONFIG_HOME=$state
app="" WM_PID="" XVFB_PID=""
trap 'kill $app $WM_PID 2>/dev/null || true; stop_xvfb; rm -rf "$work" "$state"' EXIT
command -v qt6ct >/dev/null || { echo "looks: qt6ct is not installed" >&2; exit 1; }
start_xvfb
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
start_openbox

fail() {
  echo "looks: $*" >&2
  import -window root "$shots/failure.png" || true
  exit 1
}
start() { # FOLDER [ENV=VALUE...]: the program over FOLDER, its window in WIN
  local folder=$1
  shift
  env "$@" "$bin" "$folder" &
  app=$!
  wait_window || fail "the window did not appear"
}
stop() { kill "$app"; wait "$app" 2>/dev/null || true; app=""; }

# 20,000 episodes and photos, the window maximised by a double click on its
# title bar: the list takes the room.
big=$work/big
mkdir "$big"
(cd "$big" && for i in $(seq -w 1 10000); do
  : >"[字幕组] 某剧 第${i}集 1080p.chs.ass"
  : >"IMG_2024${i}_183355.jpg"
done)
start "$big"
read -r X Y < <(window_origin "$WIN")
xdotool mousemove --sync $((X + 300)) $((Y - 10)) click --repeat 2 --delay 80 1
maximised() { xprop -id "$WIN" _NET_WM_STATE | grep -q MAXIMIZED_HORZ && [ "$(window_size "$WIN" | cut -d' ' -f1)" -gt 1000 ]; }
wait_for 10 maximised || fail "the window was not maximised"
# The list lays itself out anew after the resize: the shot is taken once
# two in a row agree.
settled() {
  import -window root "$work/a.png" && import -window root "$work/b.png" &&
    cmp -s <(convert "$work/a.png" rgb:-) <(convert "$work/b.png" rgb:-)
}
wait_for 10 settled || fail "the maximised window never settled"
mv "$work/b.png" "$shots/guide-big.png"
stop

# A Taiwanese desktop.
tw=$work/tw
mkdir "$tw"
for n in 第01集.mkv 第02集.mkv 旅遊照片.jpg 會議記錄.docx 說明.txt; do : >"$tw/$n"; done
start "$tw" LANG=zh_TW.UTF-8 LC_ALL=
[ "$(xdotool getwindowname "$WIN")" = Namewright ] || fail "no window"
import -window "$WIN" "$shots/guide-zh-tw.png"
stop

# A dark palette from the desktop's theme, with a name in GBK (grey) and one
# with a hidden character (orange) in the list.
dark=$work/dark
mkdir "$dark"
for n in 照片1.jpg 照片2.jpg $'photo\u202egpj.exe' notes.txt; do : >"$dark/$n"; done
for hex in 'd5d5c6ac33' 'b2e2cad4b1a8b8e6' 'd0c2bda8cec4bcfebcd0'; do
  : >"$dark/$(printf '%b' "$(sed 's/../\\x&/g' <<<"$hex")").txt"
done
mkdir -p "$state/qt6ct"
cat >"$state/qt6ct/qt6ct.conf" <<CONF
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
CONF
start "$dark" QT_QPA_PLATFORMTHEME=qt6ct
import -window "$WIN" "$shots/guide-dark.png"
stop
echo "looks: maximised over 20,000 files, zh_TW and a dark palette taken"
