#!/usr/bin/env bash
# Installs what is missing, builds Namewright and opens its window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=OFF -DNAMEWRIGHT_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build" --target namewright
exec "$root/build/app/namewright"
