# Sourced by the scripts that need an X server of their own.
# start_xvfb FIRST: starts Xvfb on a free-looking display FIRST..FIRST+99,
# exports DISPLAY and sets XVFB_PID; fails if the server does not answer.
start_xvfb() {
  local disp=:$(($1 + RANDOM % 100))
  Xvfb "$disp" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=$disp
  for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb on $disp did not start" >&2
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
