# Shared by the end-to-end scripts (sourced): recording checks, a display of their own with
# a tray host, finding the docked icon, and the gtest-style report tools/test.sh adds up.

e2e_names=(); e2e_failures=(); e2e_passed=0; e2e_failed=0; e2e_broken=""

e2e_record() {  # e2e_record <name> <failure message, empty when it held>
  e2e_names+=("$1"); e2e_failures+=("$2")
  if [ -z "$2" ]; then e2e_passed=$((e2e_passed+1)); echo "PASS $1"
  else e2e_failed=$((e2e_failed+1)); echo "FAIL $1: $2"; fi
}

# check <name> <command...>: the command prints why it failed and returns non-zero, or
# holds. Runs in this shell, so what a check learns stays known to the next.
check() {
  local name=$1; shift
  if [ -n "$e2e_broken" ]; then e2e_record "$name" "not reached: $e2e_broken"; return 1; fi
  local msg="" tmp; tmp=$(mktemp)
  if ! "$@" >"$tmp" 2>&1; then msg=$(tr '\n' ' ' <"$tmp"); msg=${msg:-failed}; fi
  rm -f "$tmp"
  # A failed check leaves a picture of the screen as it was, beside the report.
  if [ -n "$msg" ] && [ -n "${E2E_FAILSHOTS:-}" ]; then
    import -window root "$E2E_FAILSHOTS/failed-$((e2e_passed + e2e_failed + 1)).png" 2>/dev/null
  fi
  e2e_record "$name" "$msg"
  [ -z "$msg" ]
}

# wait_for <seconds> <command...>: polls until the command succeeds.
wait_for() {
  local tries=$(( $1 * 5 )); shift
  for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done
  return 1
}

# Writes <results>/e2e-<suite>.xml and prints "N passed, M failed".
e2e_report() {  # e2e_report <suite> <results dir>
  local suite=$1 dir=$2 total=$((e2e_passed + e2e_failed)) i name msg
  esc() { sed 's/&/\&amp;/g; s/</\&lt;/g; s/"/\&quot;/g' <<<"$1"; }
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo "<testsuites tests=\"$total\" failures=\"$e2e_failed\" errors=\"0\" disabled=\"0\" name=\"e2e\">"
    echo "  <testsuite name=\"$suite\" tests=\"$total\" failures=\"$e2e_failed\" errors=\"0\" disabled=\"0\">"
    for i in "${!e2e_names[@]}"; do
      name=$(esc "${e2e_names[$i]}")
      if [ -z "${e2e_failures[$i]}" ]; then
        echo "    <testcase name=\"$name\" classname=\"$suite\" status=\"run\"/>"
      else
        msg=$(esc "${e2e_failures[$i]}")
        echo "    <testcase name=\"$name\" classname=\"$suite\" status=\"run\"><failure message=\"$msg\"/></testcase>"
      fi
    done
    echo "  </testsuite>"
    echo "</testsuites>"
  } >"$dir/e2e-$suite.xml"
  echo "$e2e_passed passed, $e2e_failed failed"
  [ "$e2e_failed" -eq 0 ]
}

# A display of our own (only one tray host can own a screen's notification area) with
# trayer docked bottom right. Sets DISPLAY and panel (the host's window).
e2e_xvfb_pid= e2e_trayer_pid=
e2e_start_display() {
  local n=70
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n+1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  e2e_xvfb_pid=$!
  export DISPLAY=":$n"
  wait_for 10 test -e "/tmp/.X11-unix/X$n" || { e2e_broken="Xvfb did not start"; return 1; }
  . "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-prefix.sh"
  prepare_prefix
  crash_debugger_off
  trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel \
          --height 32 >/dev/null 2>&1 &
  e2e_trayer_pid=$!
  wait_for 20 e2e_panel_window || { e2e_broken="trayer did not start"; return 1; }
  panel=$(e2e_panel_window)
}
e2e_panel_window() { xdotool search --classname '^panel$' | head -n1 | grep .; }
e2e_stop_display() {
  wineserver -k >/dev/null 2>&1
  [ -n "$e2e_trayer_pid" ] && kill "$e2e_trayer_pid" 2>/dev/null
  [ -n "$e2e_xvfb_pid" ] && kill "$e2e_xvfb_pid" 2>/dev/null
  return 0
}

# The icons docked in the host: the windows of some size that explorer.exe puts there.
e2e_icon_windows() {
  xwininfo -tree -id "$panel" | awk '/\(.*explorer\.exe/ && $0 !~ / 1x1\+/ {print $1}'
}
# The last of them, when there is one.
e2e_icon_window() { e2e_icon_windows | tail -n1 | grep .; }
# Sets x y w h: the absolute geometry of window $1. Fails for no window: xwininfo without one
# would wait for a click on the screen for ever.
e2e_geometry() {
  [ -n "${1:-}" ] || { echo "no window to measure" >&2; return 1; }
  local info; info=$(xwininfo -id "$1")
  x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  w=$(awk '/Width:/ {print $2}' <<<"$info")
  h=$(awk '/Height:/ {print $2}' <<<"$info")
}
