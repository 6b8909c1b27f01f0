#!/usr/bin/env bash
# tools/format.sh [check]: formats every C++ source the project tracks with .clang-format
# (clang-format from Debian 12, version 14: another version may lay lines out differently).
# With "check" it changes nothing, lists the files that are not formatted and fails if any.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" != check ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "not formatted (run tools/format.sh): ${unformatted[*]}"
  exit 1
fi
