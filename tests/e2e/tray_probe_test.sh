#!/usr/bin/env bash
# End to end: the tray icon in a real XEmbed notification-area host (trayer) on a virtual
# display of its own, clicked with xdotool and photographed with import.
#   tray_probe_test.sh <tray_probe.exe> <results dir>
# Prints "N passed, M failed", writes <results>/e2e-tray_probe.xml (gtest style) and the
# screenshot and the probe's output beside it; exits non-zero when a check failed.
# QUAFF_E2E_WINEPREFIX overrides the Wine prefix (default: beside the probe, kept for reuse).
# The prefix's Wine server is ended at the end, and it must be one no other display uses:
# the prefix's shell draws the tray icons on the display it was started on.
set -u
if [ $# -ne 2 ] || [ ! -f "$1" ]; then
  echo "usage: $0 <tray_probe.exe> <results dir>" >&2
  exit 2
fi
probe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$2" && results=$(cd "$2" && pwd)
out="$results/tray_probe.out"
shot="$results/tray_probe-screen.png"
: >"$out"

export WINEPREFIX="${QUAFF_E2E_WINEPREFIX:-$(dirname "$probe")/wineprefix-e2e}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
probe_pid=
trap '[ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null; e2e_stop_display' EXIT

# The probe's lines, without the carriage returns of its Windows text output.
probe_lines() { tr -d '\r' <"$out"; }
lines() { probe_lines | grep -c "^$1\$"; }
has_line() { probe_lines | grep -q "^$1\$"; }

for tool in Xvfb trayer xdotool xwininfo import convert wine wineserver; do
  command -v "$tool" >/dev/null || e2e_broken=${e2e_broken:-"$tool is not installed"}
done
[ -z "$e2e_broken" ] && e2e_start_display
if [ -z "$e2e_broken" ]; then
  wine "$probe" 5 >"$out" 2>"$results/tray_probe.err" &
  probe_pid=$!
  wait_for 120 grep -q '^ready ' "$out" || e2e_broken="the probe did not start"
fi

icon_window() { e2e_icon_window; }
geometry() { e2e_geometry "$1"; }

docks() {
  wait_for 30 icon_window || { echo "no icon window in the tray host"; return 1; }
  icon=$(icon_window)
  geometry "$icon"
  cx=$((w / 2)); cy=$((h / 2))
}
check "the icon docks in the tray host" docks
[ -n "${icon:-}" ] || e2e_broken=${e2e_broken:-"no icon"}

shows_frame() {
  local want; want=$(sed -nE 's/^ready .* colour=([0-9a-f]{6}).*/\1/p' "$out" | tr a-f A-F)
  import -window root "$shot" 2>/dev/null || { echo "no screenshot"; return 1; }
  local got; got=$(convert "$shot" -format "%[hex:p{$((x + cx)),$((y + cy))}]" info: | cut -c1-6)
  [ "$got" = "$want" ] || { echo "pixel at the icon's centre is $got, frame colour $want"; return 1; }
}
check "the icon shows the frame set" shows_frame

double_click() {
  xdotool mousemove --window "$icon" "$cx" "$cy" click --repeat 2 --delay 80 1
  wait_for 10 has_line dblclick || { echo "no OnDblClick"; return 1; }
  sleep 1.5  # well past the double-click time: a click held back would have come
  [ "$(lines dblclick)" = 1 ] || { echo "OnDblClick $(lines dblclick) times"; return 1; }
  [ "$(lines click)" = 0 ] || { echo "OnClick came with the double-click"; return 1; }
}
check "a double-click raises OnDblClick once and no OnClick" double_click

single_click() {
  xdotool mousemove --window "$icon" "$cx" "$cy" click 1
  wait_for 10 has_line click || { echo "no OnClick"; return 1; }
  sleep 1.5
  [ "$(lines click)" = 1 ] || { echo "OnClick $(lines click) times"; return 1; }
  [ "$(lines dblclick)" = 1 ] || { echo "a single click raised OnDblClick"; return 1; }
}
check "a single click raises OnClick once" single_click

menu_visible() { xdotool search --onlyvisible --classname '^tray_probe\.exe$' | grep -q .; }
more_right_presses() { [ "$(lines 'down R')" -gt "$1" ]; }
# A press made just after a menu closed can be swallowed before it reaches the tray host
# (the pointer is still grabbed); such a press is made again, at most three times.
press_right() {
  local before; before=$(lines 'down R')
  for _ in 1 2 3; do
    xdotool mousemove --window "$icon" "$cx" "$cy" mousedown 3
    wait_for 3 more_right_presses "$before" && return 0
    xdotool mouseup 3
  done
  echo "the right press raised no OnMouseDown"
  return 1
}
choose() {  # choose <downs> <expected line>
  press_right || return 1
  wait_for 10 menu_visible || { xdotool mouseup 3; echo "no menu on the right press"; return 1; }
  xdotool mouseup 3
  local keys=(); for _ in $(seq "$1"); do keys+=(Down); done
  xdotool key "${keys[@]}" Return
  wait_for 10 has_line "$2" || { echo "no \"$2\""; return 1; }
  ! menu_visible || { echo "the menu stayed open"; return 1; }
}
check "the right press pops the menu and its item runs" choose 2 "item Second"

quit_removes_icon() {
  choose 3 "item Quit" || return 1
  wait_for 20 has_line bye || { echo "the probe did not end"; return 1; }
  wait_for 10 eval '! icon_window' || { echo "the icon stayed in the tray host"; return 1; }
}
check "Quit ends the probe and removes the icon" quit_removes_icon

e2e_report tray_probe "$results"
