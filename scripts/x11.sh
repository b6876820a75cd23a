# Sourced by the scripts that need an X server of their own.
# start_xvfb: starts Xvfb on a display it finds free itself, exports DISPLAY
# and sets XVFB_PID; fails if the server does not answer.
start_xvfb() {
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 200); do [ -s "$numfile" ] && break; sleep 0.1; done
  export DISPLAY=:$(tr -dc 0-9 <"$numfile")
  rm -f "$numfile"
  for _ in $(seq 200); do
    kill -0 "$XVFB_PID" 2>/dev/null && xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb on $DISPLAY did not start" >&2
  return 1
}
# wait_window: sets WIN to the window titled "Namewright" once it is shown.
wait_window() {
  WIN=""
  for _ in $(seq 100); do
    WIN=$(xdotool search --name '^Namewright$' 2>/dev/null | head -n1) && [ -n "$WIN" ] && break
    sleep 0.1
  done
  [ -n "$WIN" ] || { echo "no window titled Namewright" >&2; return 1; }
  sleep 0.5
}
