#!/usr/bin/env bash
# Fails on a C++ file that clang-format, with the project's .clang-format,
# would change; lists each one. scripts/format-check.sh --fix formats them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -co --exclude-standard '*.cpp' '*.h')
else
  mapfile -t files < <(find app core platform tests bench fuzz tools -name '*.cpp' -o -name '*.h')
fi
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not formatted: %s\n' "${bad[@]}" >&2
  echo "run scripts/format-check.sh --fix" >&2
  exit 1
fi
echo "format: ${#files[@]} files formatted"
