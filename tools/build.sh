#!/usr/bin/env bash
# Set-up and build: packages, Windows dependencies, the native tree (core, tests, artwork
# generator) and the win64 tree (the program and its Windows tests). Incremental.
#   build.sh [win64 target...]: only the artwork generator and those targets (make package).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}"
jobs=$(nproc)

"$root/tools/setup.sh"
"$root/tools/deps-win.sh" "$build/deps"

if [ ! -f "$build/native/build.ninja" ]; then
  cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
native_targets=() win_targets=()
[ $# -eq 0 ] || { native_targets=(--target gen_artwork); win_targets=(--target "$@"); }
cmake --build "$build/native" -j "$jobs" "${native_targets[@]}"

if [ ! -f "$build/win64/build.ninja" ]; then
  cmake -S "$root" -B "$build/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DQUAFF_WIN_DEPS="$build/deps/win64" \
    -DQUAFF_GEN_ARTWORK="$build/native/src/resources/gen/gen_artwork" >/dev/null
fi
cmake --build "$build/win64" -j "$jobs" "${win_targets[@]}"
