#!/usr/bin/env bash
# Runs the end-to-end suites (each on a display of its own with a tray host) for
# tools/test.sh:  run.sh <results dir>. Screenshots go to $QUAFF_BUILD/screenshots.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build="${QUAFF_BUILD:?QUAFF_BUILD names the build tree}"
results=$1
shots="$build/screenshots"
mkdir -p "$results" "$shots"
status=0
"$here/tray_probe_test.sh" "$build/win64/tests/e2e/tray_probe.exe" "$results" || status=1
cp "$results"/tray_probe-*.png "$shots/" 2>/dev/null
"$here/program_test.sh" "$build/win64/src/app/quaffometer.exe" "$build/win64/tests/e2e/tiptext.exe" \
  "$build/native/tests/e2e/frames/e2e_frame_dump" "$results" "$shots" || status=1
# The installer as make package makes it, signed with a certificate made for the run.
"$here/installer_test.sh" "$build/win64/tests/e2e/tiptext.exe" "$results" "$shots" || status=1
exit $status
