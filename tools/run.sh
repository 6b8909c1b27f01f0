#!/usr/bin/env bash
# Builds what is missing and starts the program. On the current display when there is one;
# otherwise on a virtual display with a tray host, where it saves a screenshot of the tray
# after a few seconds and keeps running until interrupted (Ctrl+C).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}"
export QUAFF_BUILD="$build"
"$root/tools/build.sh" >/dev/null || { echo "run: the build failed; run 'make build' to see why" >&2; exit 1; }
exe="$build/win64/src/app/quaffometer.exe"
[ -f "$exe" ] || { echo "run: $exe was not built" >&2; exit 1; }

# The program's own prefix, kept between runs so its settings stay.
export QUAFF_WINEPREFIX="${QUAFF_WINEPREFIX:-$build/run-prefix}"
. "$root/tools/display.sh"
virtual=0
[ -z "${DISPLAY:-}" ] && virtual=1
start_display
trap 'kill $prog $tray 2>/dev/null; stop_display' EXIT INT TERM
tray=
if [ $virtual = 1 ]; then
  trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
         --transparent false --tint 0xc0c0c0 --SetDockType true --expand false >/dev/null 2>&1 &
  tray=$!
fi
wine "$exe" &
prog=$!
if [ $virtual = 1 ]; then
  sleep 5
  mkdir -p "$build/screenshots"
  import -window root "$build/screenshots/run-tray.png" 2>/dev/null &&
    echo "run: the program runs on the virtual display $DISPLAY; screenshot: $build/screenshots/run-tray.png"
  echo "run: press Ctrl+C to stop"
fi
wait $prog
