#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds with warnings as
# errors and runs every test; builds the whole tree with clang as well (compile
# only); then runs the tests again under AddressSanitizer and UBSan.
# NAMEWRIGHT_JOBS (or CMAKE_BUILD_PARALLEL_LEVEL / CTEST_PARALLEL_LEVEL) sets
# the parallelism.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
. "$root/scripts/jobs.sh"
"$root/scripts/format-check.sh"
configure() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -DNAMEWRIGHT_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$build_jobs"
}
run() {
  configure "$@"
  (cd "$1" && ctest --output-on-failure -j "$test_jobs")
}
run "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The Debian package installs with apt and its program starts.
"$root/scripts/deb-check.sh" "$root/build-test"
# Every target, tests and benchmarks included, with clang's warnings as errors.
configure "$root/build-clang" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++
run "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DNAMEWRIGHT_SANITIZE=ON -DNAMEWRIGHT_BUILD_BENCH=OFF
# Each fuzz target briefly; scripts/fuzz.sh SECONDS runs them longer.
"$root/scripts/fuzz.sh" 3
