#!/usr/bin/env bash
# Builds the third-party libraries the Windows build links statically, with the MinGW
# tool chain, from Debian's own sources: libjpeg-turbo (SIMD on) and GoogleTest.
# Results are cached under $1 (default build/deps); a second run does nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=$(realpath -m "${1:-$root/build/deps}")
prefix="$deps/win64"
mkdir -p "$deps"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
jobs=$(nproc)

# libjpeg-turbo: fetched with apt-get source through a private source list and state folder,
# made from the machine's own Debian entries, so the machine's apt configuration is untouched.
if [ ! -f "$prefix/.libjpeg-done" ]; then
  apt_dir="$deps/apt"
  rm -rf "$apt_dir" "$deps/src-jpeg"
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$deps/src-jpeg"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed -e 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/parts/$(basename "$f")"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' > "$apt_dir/parts/main.list" || true
  fi
  apt_opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/parts"
            -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
            -o APT::Sandbox::User=root -o Debug::NoLocking=1)
  apt-get "${apt_opts[@]}" -qq update
  (cd "$deps/src-jpeg" && apt-get "${apt_opts[@]}" -qq source libjpeg-turbo >/dev/null)
  src=$(find "$deps/src-jpeg" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo*' | head -n 1)
  [ -n "$src" ] || { echo "deps-win: libjpeg-turbo sources not found" >&2; exit 1; }
  cmake -S "$src" -B "$deps/build-jpeg" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=AMD64 \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR= >/dev/null
  cmake --build "$deps/build-jpeg" -j "$jobs" >/dev/null
  cmake --install "$deps/build-jpeg" >/dev/null
  touch "$prefix/.libjpeg-done"
fi

# GoogleTest from Debian's googletest package sources.
if [ ! -f "$prefix/.gtest-done" ]; then
  cmake -S /usr/src/googletest -B "$deps/build-gtest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON \
    -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$deps/build-gtest" -j "$jobs" >/dev/null
  cmake --install "$deps/build-gtest" >/dev/null
  touch "$prefix/.gtest-done"
fi
