#!/usr/bin/env bash
# Takes the user guide's screenshots again: runs the end-to-end tests in Xvfb
# against the build in build-test and copies what they saw into docs/guide/.
# Usage: scripts/guide-shots.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build-test/app/namewright
[ -x "$bin" ] || { echo "build first: $bin is missing" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$root/tests/e2e/e2e.sh" "$bin" "$out"
"$root/tests/e2e/legacy.sh" "$bin" "$out"
"$root/tests/e2e/guide.sh" "$bin" "$out"
"$root/tests/e2e/looks.sh" "$bin" "$out"
mkdir -p "$root/docs/guide"
cp "$out"/*.png "$root/docs/guide/"
rm -f "$root/docs/guide/failure.png"
ls "$root/docs/guide"
