#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every
# test; then does the same under AddressSanitizer and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=$(nproc)
run() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -DNAMEWRIGHT_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}
run "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The Debian package installs with apt and its program starts.
"$root/scripts/deb-check.sh" "$root/build-test"
run "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DNAMEWRIGHT_SANITIZE=ON -DNAMEWRIGHT_BUILD_BENCH=OFF
# Each fuzz target briefly; scripts/fuzz.sh SECONDS runs them longer.
"$root/scripts/fuzz.sh" 3
