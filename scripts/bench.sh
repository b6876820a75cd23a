#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and prints the
# benchmark table, with the date and the machine's cores. Start-up is measured
# on a private Xvfb as well as offscreen. Exits non-zero when a result is
# wrong or a goal is missed (the missed goals are listed at the end).
# Usage: scripts/bench.sh [FILES [RENAMES]]   (default 100000 20000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
dir="$root/build-bench"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$dir" --target namewright_bench
if [ -z "${DISPLAY:-}" ]; then
  source "$root/scripts/x11.sh"
  XVFB_PID=""
  trap stop_xvfb EXIT
  start_xvfb
fi
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(uname -r)"
"$dir/bench/namewright_bench" "${1:-100000}" "${2:-20000}" "$root/data/F2J.txt" 2> >(grep -v XDG_RUNTIME_DIR >&2)
