#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 5). The corpus grows in build-fuzz/corpus/; a failing input is left in
# build-fuzz/findings/ and the script fails.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
seconds=${1:-5}
shift || true
dir="$root/build-fuzz"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DNAMEWRIGHT_FUZZ=ON -DNAMEWRIGHT_WERROR=ON >/dev/null
. "$root/scripts/jobs.sh"
cmake --build "$dir" -j "$build_jobs"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(convert_name str_cls str_rel custom_name extension conv_table wildcard name_codec
                                    find_replace journal history)
mkdir -p "$dir/findings"
for t in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$t"
  if ! "$dir/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=4096 -artifact_prefix="$dir/findings/$t-" -print_final_stats=1 \
       "$dir/corpus/$t" >"$dir/fuzz_$t.log" 2>&1; then
    tail -n 40 "$dir/fuzz_$t.log"
    echo "fuzz_$t FAILED; input in $dir/findings/" >&2
    exit 1
  fi
  echo "fuzz_$t: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/fuzz_$t.log" | grep -o '[0-9]*$') runs, no failure"
done
