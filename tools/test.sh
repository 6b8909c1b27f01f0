#!/usr/bin/env bash
# Builds everything and runs every suite: native (with sanitizers), Windows under Wine, and
# end to end (the real program in a real tray host). Ends with one line "N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}"
export QUAFF_BUILD="$build"

"$root/tools/build.sh" || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }

. "$root/tools/display.sh"
start_display            # Xvfb (and the Wine prefix and server) for the whole run
trap stop_display EXIT
# Wine's own services start with the first program of a prefix and inherit its output: were
# that a test under ctest, ctest would wait for them for ever. Started here they write nowhere.
# (Not in start_display: a tray host started after them would not get the icons.)
wine cmd /c exit >/dev/null 2>&1 </dev/null

results="$build/test-results"
# The Windows tests keep screenshots of the windows they show here.
export QUAFF_SCREENSHOT_DIR="$build/screenshots"
mkdir -p "$QUAFF_SCREENSHOT_DIR"
rm -rf "$results"; mkdir -p "$results"
extra_failed=0

run_ctest() {  # $1 tree, $2 label
  local out="$results/ctest-$2.log"
  (cd "$1" && ctest --output-on-failure -j 1 ${QUAFF_CTEST_ARGS:-}) >"$out" 2>&1
  local rc=$?
  tail -n 30 "$out" | sed -n '/tests passed\|tests failed/,$p'
  if [ $rc -ne 0 ]; then
    echo "--- $2 failures ---"; grep -E '^\s*[0-9]+/[0-9]+ Test|\[  FAILED  \]|Failure|error' "$out" | grep -v ' Passed ' | head -n 60
  fi
  # A test executable that ctest saw fail (a crash, a timeout) counts as one failure unless its
  # report already counts one: a process that wrote a clean report and then hung is no pass.
  # One that lost tests (no report, or fewer tests than it lists) is counted by those below.
  while read -r name; do
    local xml="$1/test-results/$name.xml"
    if [ "$(lost_tests "$xml")" -eq 0 ] &&
       { [ ! -f "$xml" ] || grep -m1 '<testsuites' "$xml" | grep -q ' failures="0".* errors="0"'; }; then
      extra_failed=$((extra_failed+1))
    fi
  done < <(grep -oE '[0-9]+ - [A-Za-z0-9_]+ \(' "$out" | sed -E 's/^[0-9]+ - ([A-Za-z0-9_]+) \(/\1/')
  for f in "$1"/test-results/*.xml "$1"/test-results/*.listed; do
    [ -f "$f" ] && cp "$f" "$results/$2-$(basename "$f")"
  done
}

# The tests a GoogleTest executable listed (cmake/gtest-run.sh leaves the number beside its
# report) that its report does not count: all of them when it crashed before writing one.
lost_tests() {  # $1 report
  local listed reported=0
  [ -f "$1.listed" ] || { echo 0; return; }
  listed=$(cat "$1.listed")
  [ -f "$1" ] && reported=$(grep -m1 '<testsuites' "$1" | sed -nE 's/.* tests="([0-9]+)".*/\1/p')
  reported=${reported:-0}
  echo $((listed > reported ? listed - reported : 0))
}

echo "== source format =="
# Counted as one test: every C++ source as tools/format.sh lays it out.
format_out=$("$root/tools/format.sh" check 2>&1); format_failed=$?
echo "${format_out:-every source formatted}"
printf '<testsuites tests="1" failures="%d" errors="0" disabled="0"></testsuites>\n' \
  $((format_failed != 0)) >"$results/native-format.xml"

echo "== native tests =="
rm -rf "$build/native/test-results"
run_ctest "$build/native" native
echo "== Windows tests under Wine =="
rm -rf "$build/win64/test-results"
run_ctest "$build/win64" win64

if [ -x "$root/tests/e2e/run.sh" ]; then
  echo "== end-to-end tests =="
  "$root/tests/e2e/run.sh" "$results" || true
fi

for bmp in "$QUAFF_SCREENSHOT_DIR"/*.bmp; do
  [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && rm -f "$bmp"
done
echo "screenshots: $QUAFF_SCREENSHOT_DIR"

# Add up the reports: every <testsuites ...> root counts its tests, failures and errors.
passed=0; failed=$extra_failed
for f in "$results"/native-*.xml "$results"/win64-*.xml "$results"/e2e-*.xml; do
  [ -f "$f" ] || continue
  line=$(grep -m1 '<testsuites' "$f")
  t=$(sed -nE 's/.* tests="([0-9]+)".*/\1/p' <<<"$line")
  fl=$(sed -nE 's/.* failures="([0-9]+)".*/\1/p' <<<"$line")
  er=$(sed -nE 's/.* errors="([0-9]+)".*/\1/p' <<<"$line")
  sk=$(sed -nE 's/.* disabled="([0-9]+)".*/\1/p' <<<"$line")
  t=${t:-0}; fl=${fl:-0}; er=${er:-0}; sk=${sk:-0}
  passed=$((passed + t - fl - er - sk)); failed=$((failed + fl + er))
done
for f in "$results"/*.listed; do
  [ -f "$f" ] || continue
  lost=$(lost_tests "${f%.listed}")
  [ "$lost" -gt 0 ] && echo "$(basename "${f%.xml.listed}"): $lost listed tests not reported (crashed or ended early)"
  failed=$((failed + lost))
done
if [ $((passed + failed)) -eq 0 ]; then failed=1; fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
