#!/usr/bin/env bash
# make coverage: line and branch coverage of src/ from the native suite and the Windows suite
# (under Wine) together. Two trees of their own (build/coverage-native, build/coverage-win64)
# leave make test's trees untouched. Writes the HTML report to build/coverage/index.html and
# the per-folder table into docs/TESTING.md. Informative only: a low figure fails nothing; a
# suite that fails or writes no coverage data is said, and its figures are marked so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}"
export QUAFF_BUILD="$build"
native="$build/coverage-native"
win="$build/coverage-win64"
out="$build/coverage"
jobs=$(nproc)
started=$(date +%s)

"$root/tools/setup.sh"
"$root/tools/deps-win.sh" "$build/deps"

# -O0: every line and branch of the source stays a line and branch of the code.
if [ ! -f "$native/build.ninja" ]; then
  cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUAFF_SANITIZE=OFF \
    -DCMAKE_C_FLAGS=--coverage -DCMAKE_CXX_FLAGS=--coverage >/dev/null
fi
# The test executables each tree's ctest runs (their names are their targets), and no more.
tests_of() { (cd "$1" && ctest -N) | sed -n 's/^ *Test *#[0-9]*: //p'; }
cmake --build "$native" -j "$jobs" --target $(tests_of "$native") gen_artwork
if [ ! -f "$win/build.ninja" ]; then
  cmake -S "$root" -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DQUAFF_WIN_DEPS="$build/deps/win64" \
    -DQUAFF_GEN_ARTWORK="$native/src/resources/gen/gen_artwork" \
    -DCMAKE_C_FLAGS=--coverage -DCMAKE_CXX_FLAGS=--coverage >/dev/null
fi
cmake --build "$win" -j "$jobs" --target $(tests_of "$win")

# Counters from zero: the artwork generator ran during the build, and earlier runs counted.
find "$native" "$win" -name '*.gcda' -delete

. "$root/tools/display.sh"
export QUAFF_WINEPREFIX="$win/wineprefix"
set +e  # the display's set-up is written for a shell that goes on past a non-zero step
start_display
trap stop_display EXIT
wine cmd /c exit >/dev/null 2>&1 </dev/null  # Wine's services outside ctest (see tools/test.sh)
set -e
export QUAFF_SCREENSHOT_DIR="$out/screenshots"
# The object paths compiled into the Windows tests are Unix paths; under Wine a path that starts
# with "/" is on the current drive, which a test may change. Drive Z: is the Unix root.
export GCOV_PREFIX=Z:
mkdir -p "$out" "$QUAFF_SCREENSHOT_DIR"

notes=()
for tree in "$native" "$win"; do
  name=$(basename "$tree")
  if ! (cd "$tree" && ctest --output-on-failure -j 1) >"$out/ctest-$name.log" 2>&1; then
    notes+=("some tests of $name failed (see build/coverage/ctest-$name.log)")
  fi
  if [ -z "$(find "$tree" -name '*.gcda' -print -quit)" ]; then
    notes+=("$name wrote no coverage data: a test process did not end normally")
  fi
  tail -n 3 "$out/ctest-$name.log"
done

# Each tree read with its own compiler's gcov, then merged: a core file counts what either
# suite ran. Branches the compiler adds for exceptions and dead code are left out.
filters=(--root "$root" --filter "$root/src/" --exclude "$root/src/resources/gen/"
         --exclude-throw-branches --exclude-unreachable-branches)
gcovr "${filters[@]}" --gcov-executable gcov --json "$out/native.json" "$native"
gcovr "${filters[@]}" --gcov-executable x86_64-w64-mingw32-gcov --json "$out/win64.json" "$win"
rm -f "$out"/*.html
gcovr --root "$root" -a "$out/native.json" -a "$out/win64.json" \
  --html-details "$out/index.html" --html-title "Quaffometer: coverage of src/" \
  --json-summary "$out/summary.json" --print-summary

minutes=$(( ($(date +%s) - started + 59) / 60 ))
note=""
for n in "${notes[@]}"; do note+="${note:+; }$n"; done
commit=$(git -C "$root" describe --always --dirty 2>/dev/null || echo unknown)
python3 - "$out/summary.json" "$root/docs/TESTING.md" "$minutes" "$note" "$commit" <<'EOF'
# The per-folder table of src/, written between the coverage markers of docs/TESTING.md.
import json, re, sys
summary, doc, minutes, note, commit = sys.argv[1:]
folders = {}
for f in json.load(open(summary))["files"]:
    parts = f["filename"].split("/")
    key = parts[1] if len(parts) > 2 else "(top)"
    t = folders.setdefault(key, [0, 0, 0, 0])
    t[0] += f["line_covered"]; t[1] += f["line_total"]
    t[2] += f["branch_covered"]; t[3] += f["branch_total"]
def pct(a, b): return f"{100 * a / b:.0f} %" if b else "-"
rows = ["| folder | lines | | branches | |", "|---|---:|---:|---:|---:|"]
total = [0, 0, 0, 0]
for key in sorted(folders):
    t = folders[key]
    total = [a + b for a, b in zip(total, t)]
    rows.append(f"| src/{key} | {t[0]} of {t[1]} | {pct(t[0], t[1])} | {t[2]} of {t[3]} | {pct(t[2], t[3])} |")
rows.append(f"| **all** | {total[0]} of {total[1]} | **{pct(total[0], total[1])}** | "
            f"{total[2]} of {total[3]} | **{pct(total[2], total[3])}** |")
block = ["<!-- coverage:begin (written by make coverage) -->", "",
         f"Last run: of {commit}, both suites, {minutes} min.{' ' + note + '.' if note else ''}", ""]
block += rows + ["", "<!-- coverage:end -->"]
text = open(doc, encoding="utf-8").read()
pattern = re.compile(r"<!-- coverage:begin.*?<!-- coverage:end -->", re.S)
if not pattern.search(text):
    sys.exit("coverage: docs/TESTING.md has no coverage:begin/end markers")
open(doc, "w", encoding="utf-8").write(pattern.sub(lambda _: "\n".join(block), text))
print("\n".join(rows))
EOF
for n in "${notes[@]}"; do echo "coverage: $n"; done
echo "coverage: report in $out/index.html; the table is in docs/TESTING.md ($minutes min)"
