#!/usr/bin/env bash
# The preview under a real window manager (openbox): transient for the main
# window from the moment it is mapped, so the manager keeps it above the main
# window after a click there; placed so that it does not cover the page's
# settings, which stay usable while it is open.
# Usage: window_manager.sh NAMEWRIGHT_BINARY OUTPUT_FOLDER_FOR_SCREENSHOTS
set -euo pipefail
bin=$1 shots=$2
mkdir -p "$shots"
source "$(dirname "$0")/../../scripts/x11.sh"
work=$(mktemp -d /tmp/namewright-wm-XXXXXX)
state=$(mktemp -d /tmp/namewright-state-XXXXXX)
export XDG_STATE_HOME=$state XDG_CONFIG_HOME=$state
app="" WM_PID="" XVFB_PID=""
trap 'kill $app $WM_PID 2>/dev/null || true; stop_xvfb; rm -rf "$work" "$state"' EXIT
start_xvfb
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
start_openbox

for i in $(seq -w 1 12); do printf 'episode %s' "$i" >"$work/第${i}集.mkv"; done

fail() {
  echo "window_manager: $*" >&2
  import -window root "$shots/failure.png" || true
  exit 1
}
"$bin" "$work" &
app=$!
wait_window || fail "the window did not appear"
main=$WIN
read -r X Y < <(window_origin "$main")
click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click "${3:-1}"; }

# Once the manager has given it the focus: 全选, then 改名's menu,
# 预览改名结果….
focused() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$main" ]; }
wait_for 10 focused || fail "the window did not get the focus"
click 196 332
click 541 288 3
menu_open() { xdotool search --onlyvisible --class namewright 2>/dev/null | grep -vx "$main" | head -n1 | grep -q .; }
wait_for 5 menu_open || fail "改名's menu did not open"
xdotool key Down Return
preview=""
find_preview() {
  preview=$(xdotool search --onlyvisible --name '^改名预览$' 2>/dev/null | head -n1)
  [ -n "$preview" ]
}
wait_for 10 find_preview || fail "the preview did not open"

# Transient for the main window (the manager reads it when the window maps).
transient=$(xprop -id "$preview" WM_TRANSIENT_FOR | awk '{print $NF}')
[ "$((transient))" = "$((main))" ] || fail "WM_TRANSIENT_FOR is $transient, not the main window $main"

# Not over the page's settings: the tabbed pages take the window's right
# part, from x = 382 of its inside (twips 5730) down to the page's bottom.
read -r PX PY < <(window_origin "$preview")
read -r PW PH < <(window_size "$preview")
read -r MW MH < <(window_size "$main")
page_left=$((X + 382)) page_top=$Y page_right=$((X + MW)) page_bottom=$((Y + 312))
if [ $((PX + PW)) -gt $page_left ] && [ $PX -lt $page_right ] &&
   [ $((PY + PH)) -gt $page_top ] && [ $PY -lt $page_bottom ]; then
  fail "the preview ($PX,$PY ${PW}x$PH) covers the page's settings ($page_left,$page_top to $page_right,$page_bottom)"
fi
import -window root "$shots/preview-beside.png"

# A click on the main window (its page, to change a setting): the preview
# stays above it, and open.
click 492 95 # 小写
above() {
  local order
  order=$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | cut -d'#' -f2)
  local m=-1 p=-1 i=0
  for w in $order; do
    [ "$((w))" = "$((main))" ] && m=$i
    [ "$((w))" = "$((preview))" ] && p=$i
    i=$((i + 1))
  done
  [ $m -ge 0 ] && [ $p -gt $m ]
}
wait_for 5 above || fail "the preview went below the main window after a click on it"
xdotool search --onlyvisible --name '^改名预览$' >/dev/null || fail "the preview closed"
import -window root "$shots/preview-after-click.png"

# A box opens centred over the main window (Qt may measure the manager's
# frame while it is still being made).
xdotool windowactivate --sync "$preview" key Escape
preview_gone() { ! xdotool search --onlyvisible --name '^改名预览$' >/dev/null 2>&1; }
wait_for 10 preview_gone || fail "Esc did not close the preview"
click 249 332 # 全不选
click 541 288 # 改名, with nothing selected: "请先选择要改名的文件"
box=""
centred() {
  box=$(xdotool search --onlyvisible --class namewright 2>/dev/null | grep -vx "$main" | head -n1)
  [ -n "$box" ] || return 1
  local bx by bw bh
  read -r bx by < <(window_origin "$box")
  read -r bw bh < <(window_size "$box")
  local dx=$((bx + bw / 2 - X - MW / 2)) dy=$((by + bh / 2 - Y - MH / 2))
  [ ${dx#-} -le 30 ] && [ ${dy#-} -le 30 ]
}
wait_for 10 centred || fail "the box is not centred over the main window"
import -window root "$shots/box.png"
echo "window_manager: transient for $main, above it after a click, clear of the settings; boxes centred"
