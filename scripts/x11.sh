# Sourced by the scripts that need an X server of their own.

# start_xvfb: starts Xvfb on a free display, exports DISPLAY and sets
# XVFB_PID; fails if no server could be started after a number of tries.
# The display is claimed through the server's lock file, which names its
# process, so a server someone else runs on that number is never taken for
# ours. -noreset: without it the server resets when its last client leaves
# (our own probe, say) and refuses connections for that moment.
start_xvfb() {
  local n
  for _ in $(seq 20); do
    n=$((RANDOM % 900 + 100))
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=:$n
    _xvfb_settled "$n" && return 0
    stop_xvfb
  done
  echo "Xvfb did not start" >&2
  return 1
}
# The server counts as ours once its lock file names it and it answers.
_xvfb_settled() {
  local n=$1
  for _ in $(seq 200); do
    kill -0 "$XVFB_PID" 2>/dev/null || return 1
    if [ "$(tr -dc 0-9 2>/dev/null <"/tmp/.X$n-lock")" = "$XVFB_PID" ] &&
       xdpyinfo >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# stop_xvfb: ends the server of start_xvfb and waits until it is gone.
stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}

# wait_window: sets WIN to the window titled "Namewright" once it is shown.
# Only mapped windows count: the search ignores letter case, and Qt's hidden
# group leader is called "namewright".
wait_window() {
  WIN=""
  for _ in $(seq 100); do
    WIN=$(xdotool search --onlyvisible --name '^Namewright$' 2>/dev/null | head -n1) && [ -n "$WIN" ] && break
    sleep 0.1
  done
  [ -n "$WIN" ] || { echo "no window titled Namewright" >&2; return 1; }
  sleep 0.5
}

# wait_for SECONDS COMMAND...: runs COMMAND every tenth of a second until it
# succeeds; fails once SECONDS have passed without. A check that sleeps and
# then looks fails on a loaded machine; this one waits for what it looks for.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# type_text TEXT: types TEXT on the keyboard of the X server. Characters the
# keymap lacks (Chinese, say) are each given a spare keycode first, all in
# one change, so the program has the final map before the first key arrives.
# xdotool's own way, remapping one scratch key per character and back, now
# and then loses or repeats a character because the program reads the map
# while it is still changing.
type_text() {
  local text=$1 ch cp spare=() changes=() i=0 seen=" "
  local LC_ALL=C.UTF-8
  mapfile -t spare < <(xmodmap -pke | awk 'NF == 3 { print $2 }')
  while IFS= read -r -n1 ch; do
    [ -n "$ch" ] || continue
    cp=$(printf '%X' "'$ch")
    if [ $((16#$cp)) -gt 126 ] && [[ $seen != *" $cp "* ]]; then
      [ $i -lt ${#spare[@]} ] || { echo "type_text: no spare keycode left" >&2; return 1; }
      changes+=(-e "keycode ${spare[$i]} = U$cp")
      seen+="$cp "
      i=$((i + 1))
    fi
  done < <(printf '%s' "$text")
  if [ ${#changes[@]} -gt 0 ]; then
    xmodmap "${changes[@]}"
    sleep 0.3
  fi
  xdotool type --delay 20 "$text"
}

# start_openbox: a window manager (openbox) on the server of start_xvfb;
# sets WM_PID once it manages the screen, fails if it never does.
start_openbox() {
  command -v openbox >/dev/null || { echo "openbox is not installed" >&2; return 1; }
  openbox --sm-disable >/dev/null 2>&1 &
  WM_PID=$!
  wait_for 10 _openbox_managing || { echo "openbox did not start" >&2; return 1; }
}
_openbox_managing() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# window_origin ID, window_size ID: where a window's inside is on the screen
# ("X Y") and how big it is ("W H"); under a reparenting window manager
# xdotool's own answer counts the frame twice.
window_origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'; }
window_size() { xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'; }
