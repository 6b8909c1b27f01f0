#!/usr/bin/env bash
# Bounded libFuzzer runs over the core's parsers (about a minute each), natively with clang
# and AddressSanitizer. Not part of `make test`: every crash found becomes a regression test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}/fuzz"
seconds="${QUAFF_FUZZ_SECONDS:-60}"
"$root/tools/setup.sh"
if ! command -v clang++ >/dev/null || ! dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
fi
[ -f "$build/build.ninja" ] || CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUAFF_SANITIZE=ON -DQUAFF_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target numtext_fuzz edit_mask_fuzz jpeg_fuzz
status=0
for t in numtext_fuzz edit_mask_fuzz jpeg_fuzz; do
  corpus="$build/corpus/$t"; mkdir -p "$corpus" "$build/crashes"
  # Seeds: a few real inputs of each kind, so the runs start past the first byte.
  case $t in
    jpeg_fuzz) [ -f "$corpus/seed1.jpg" ] || { convert -size 24x16 gradient:red-blue -quality 80 "$corpus/seed1.jpg";
               convert -size 17x9 plasma:fractal -interlace JPEG "$corpus/seed2.jpg"; } 2>/dev/null ;;
    numtext_fuzz) for v in "025000.00" " -1.5E+3 " '$7FFFFFFF' "0x10" "      .  "; do
                    printf '%s' "$v" > "$corpus/seed-$(printf '%s' "$v" | md5sum | cut -c1-8)"; done ;;
    edit_mask_fuzz) printf '12345.00' > "$corpus/seed1"; printf '03.50' > "$corpus/seed2" ;;
  esac
  echo "== $t: ${seconds}s =="
  (cd "$build/crashes" && "$build/fuzz/$t" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -malloc_limit_mb=512 -timeout=10 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12) || status=1
done
[ $status -eq 0 ] && echo "fuzz: no crash, hang or oversized allocation found" || echo "fuzz: findings in $build/crashes"
exit $status
