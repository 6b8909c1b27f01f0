#!/usr/bin/env bash
# make mutate: applies each mutant of tests/mutants.txt in turn to a scratch copy of the
# sources, builds it and runs the tests the mutant names; a mutant is killed when they fail.
# Writes build/mutate/report.txt and the figures in docs/TESTING.md (full runs only).
#   MUTANTS=id1,id2     only these mutants
#   MUTANT_FILES=src/tray/tray_icon.cpp,src/app/   only the mutants of these files or folders
#   QUAFF_MUTATE_TIMEOUT=300   seconds a mutant's test run may take before it counts as killed
# The worktree itself is never changed; build/mutate/src is the scratch copy, refreshed from
# the worktree at each run (only files that differ are copied, so the builds stay incremental).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}"
export QUAFF_BUILD="$build"
work="$build/mutate"
scratch="$work/src"
jobs=$(nproc)

"$root/tools/setup.sh"
"$root/tools/deps-win.sh" "$build/deps"

# The scratch copy: every file git would see in the worktree, build trees excepted.
mkdir -p "$scratch"
(cd "$root" && git ls-files -co --exclude-standard -z) | while IFS= read -r -d '' f; do
  [ -f "$root/$f" ] || continue
  if ! cmp -s "$root/$f" "$scratch/$f"; then
    mkdir -p "$(dirname "$scratch/$f")"
    cp "$root/$f" "$scratch/$f"
  fi
done

# The same configurations as make test's trees, apart from their places.
if [ ! -f "$work/native/build.ninja" ]; then
  cmake -S "$scratch" -B "$work/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$work/native" -j "$jobs" --target core_tests gen_artwork
if [ ! -f "$work/win64/build.ninja" ]; then
  cmake -S "$scratch" -B "$work/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$scratch/cmake/mingw-w64-x86_64.cmake" \
    -DQUAFF_WIN_DEPS="$build/deps/win64" \
    -DQUAFF_GEN_ARTWORK="$work/native/src/resources/gen/gen_artwork" >/dev/null
fi
cmake --build "$work/win64" -j "$jobs" --target win_tests

. "$root/tools/display.sh"
export QUAFF_WINEPREFIX="$work/wineprefix"
set +e  # the display's set-up is written for a shell that goes on past a non-zero step
start_display
trap stop_display EXIT
# Wine's own services started here, not inside the first test run (see tools/test.sh).
wine cmd /c exit >/dev/null 2>&1 </dev/null
set -e

python3 "$root/tools/mutate.py" --root "$root" --work "$work" --jobs "$jobs"
