# Sourced: a virtual display and one Wine prefix and server for a whole run.
# start_display [with_tray]: when DISPLAY is unset (or QUAFF_XVFB=1) starts Xvfb on a free
# display number; prepares the prefix in $QUAFF_WINEPREFIX (default $QUAFF_BUILD/wineprefix).
start_display() {
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  export QUAFF_WINEPREFIX="${QUAFF_WINEPREFIX:-$QUAFF_BUILD/wineprefix}"
  export WINEPREFIX="$QUAFF_WINEPREFIX"
  QUAFF_XVFB_PID=
  if [ -z "${DISPLAY:-}" ] || [ "${QUAFF_XVFB:-0}" = 1 ]; then
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n+1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QUAFF_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  . "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
  prepare_prefix
  wineserver -p >/dev/null 2>&1
}
# Safe in an EXIT trap under set -e: no step of it can end the script early (a server or a
# display that has gone already), so it always runs to its end and answers 0.
stop_display() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${QUAFF_XVFB_PID:-}" ]; then kill "$QUAFF_XVFB_PID" 2>/dev/null || true; fi
  return 0
}
