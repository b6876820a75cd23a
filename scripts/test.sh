#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds with warnings as
# errors and runs every test; builds the whole tree with clang as well (compile
# only); then runs the tests again under AddressSanitizer and UBSan, all but
# the slow ones on FUSE and sshfs drives (label "drives"), which drive the
# same code as the tests beside them and have run once already.
# NAMEWRIGHT_JOBS (or CMAKE_BUILD_PARALLEL_LEVEL / CTEST_PARALLEL_LEVEL) sets
# the parallelism.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Each step says how long it took, so that a slow one shows.
step() {
  local start=$SECONDS
  "$@"
  echo "test.sh: $1 ${2:-} took $((SECONDS - start)) s (total $SECONDS s)"
}
"$root/scripts/install-deps.sh"
. "$root/scripts/jobs.sh"
"$root/scripts/format-check.sh"
configure() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -DNAMEWRIGHT_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$build_jobs"
}
# run DIR [CTEST_ARGS...] -- [CMAKE_ARGS...]
run() {
  local dir=$1; shift
  local ctest_args=()
  while [ "$1" != "--" ]; do ctest_args+=("$1"); shift; done
  shift
  configure "$dir" "$@"
  (cd "$dir" && ctest --output-on-failure -j "$test_jobs" "${ctest_args[@]}")
}
step run "$root/build-test" -- -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The Debian package installs with apt and its program starts.
step "$root/scripts/deb-check.sh" "$root/build-test"
# Every target, tests and benchmarks included, with clang's warnings as errors.
step configure "$root/build-clang" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++
step run "$root/build-asan" -LE drives -- -DCMAKE_BUILD_TYPE=Debug -DNAMEWRIGHT_SANITIZE=ON -DNAMEWRIGHT_BUILD_BENCH=OFF
# Each fuzz target briefly; scripts/fuzz.sh SECONDS runs them longer.
step "$root/scripts/fuzz.sh" 3
