#!/usr/bin/env bash
# Builds what is missing and starts the program. On the current display when there is one;
# otherwise on a virtual display with a tray host, served by a VNC server that listens on
# 127.0.0.1 only (a person connects a viewer there, from another machine through an SSH
# tunnel); it saves a screenshot of the tray after a few seconds and keeps running until
# interrupted (Ctrl+C).
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
trap 'kill $prog $tray $vnc 2>/dev/null; stop_display' EXIT INT TERM
tray= vnc=
if [ $virtual = 1 ]; then
  trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
         --transparent false --tint 0xc0c0c0 --SetDockType true --expand false >/dev/null 2>&1 &
  tray=$!
  # No password: the port is reachable from this machine only. x11vnc takes the first free port
  # from 5900 and prints it as PORT=n.
  vnclog="$build/x11vnc.log"
  x11vnc -display "$DISPLAY" -localhost -listen 127.0.0.1 -no6 -forever -shared -nopw \
         -quiet -o "$vnclog" >"$build/x11vnc.port" 2>/dev/null &
  vnc=$!
  port=
  for _ in $(seq 50); do
    port=$(sed -n 's/^PORT=//p' "$build/x11vnc.port" 2>/dev/null)
    [ -n "$port" ] || ! kill -0 $vnc 2>/dev/null && break
    sleep 0.2
  done
  if [ -n "$port" ]; then
    echo "run: connect a VNC viewer to 127.0.0.1:$port (from another machine through an SSH tunnel:" \
         "ssh -L $port:127.0.0.1:$port <this machine>, then the viewer to 127.0.0.1:$port)"
  else
    echo "run: the VNC server did not start (see $vnclog); the program runs without it" >&2
  fi
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
