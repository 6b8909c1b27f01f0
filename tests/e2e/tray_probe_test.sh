#!/usr/bin/env bash
# End to end: two tray icons of one process in a real XEmbed notification-area host (trayer)
# on a virtual display of its own, clicked with xdotool and photographed with import.
#   tray_probe_test.sh <tray_probe.exe> <results dir>
# Prints "N passed, M failed", writes <results>/e2e-tray_probe.xml (gtest style) and the
# screenshots and the probe's output beside it; exits non-zero when a check failed.
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
  wine "$probe" 5 12 >"$out" 2>"$results/tray_probe.err" &
  probe_pid=$!
  wait_for 120 eval '[ "$(probe_lines | grep -c "^ready ")" = 2 ]' || e2e_broken="the probe did not start"
fi

# The colour icon $1 (A or B) shows, as the probe reported it.
colour_of() { probe_lines | sed -nE "s/^ready $1 .* colour=([0-9a-f]{6}).*/\1/p" | tr a-f A-F; }
# Sets icon_A and icon_B to the docked icon windows showing A's and B's colours; the
# screenshot is kept as $1.
find_icons() {
  import -window root "$1" 2>/dev/null || { echo "no screenshot"; return 1; }
  icon_A= icon_B=
  local win got
  for win in $(e2e_icon_windows); do
    e2e_geometry "$win"
    got=$(convert "$1" -format "%[hex:p{$((x + w / 2)),$((y + h / 2))}]" info: | cut -c1-6)
    [ "$got" = "$(colour_of A)" ] && icon_A=$win
    [ "$got" = "$(colour_of B)" ] && icon_B=$win
  done
  return 0
}
icon_count() { e2e_icon_windows | wc -l; }

both_dock() {
  wait_for 30 eval '[ "$(icon_count)" = 2 ]' || { echo "$(icon_count) icon windows in the tray host"; return 1; }
  sleep 1  # drawn
  find_icons "$shot" || return 1
  [ -n "$icon_A" ] || { echo "no icon shows A's frame colour $(colour_of A)"; return 1; }
  [ -n "$icon_B" ] || { echo "no icon shows B's frame colour $(colour_of B)"; return 1; }
}
check "both icons dock in the tray host, each showing its own frame" both_dock
[ -n "${icon_B:-}" ] || e2e_broken=${e2e_broken:-"no icons"}

# at <A|B>: moves the pointer to the centre of that icon.
at() {
  local win; eval "win=\$icon_$1"
  e2e_geometry "$win"
  xdotool mousemove --window "$win" $((w / 2)) $((h / 2))
}
more_lines() { [ "$(lines "$1")" -gt "$2" ]; }  # more_lines <line> <count>

double_click() {  # double_click <A|B>, the other one hears nothing
  local other; [ "$1" = A ] && other=B || other=A
  local before; before=$(lines "$1 dblclick")
  at "$1"; xdotool click --repeat 2 --delay 80 1
  wait_for 10 more_lines "$1 dblclick" "$before" || { echo "no OnDblClick on $1"; return 1; }
  sleep 1.5  # well past the double-click time: a click held back would have come
  [ "$(lines "$1 dblclick")" = $((before + 1)) ] || { echo "OnDblClick $(lines "$1 dblclick") times"; return 1; }
  [ "$(lines "$1 click")" = 0 ] || { echo "OnClick came with the double-click"; return 1; }
  ! probe_lines | grep -q "^$other \(click\|dblclick\|down L\)\$" || { echo "$other heard the double-click on $1"; return 1; }
}
single_click() {  # single_click <A|B> <clicks expected after it>
  at "$1"; xdotool click 1
  wait_for 10 more_lines "$1 click" $(($2 - 1)) || { echo "no OnClick on $1"; return 1; }
  sleep 1.5
  [ "$(lines "$1 click")" = "$2" ] || { echo "OnClick $(lines "$1 click") times on $1"; return 1; }
}

menu_visible() { xdotool search --onlyvisible --classname '^tray_probe\.exe$' | grep -q .; }
# A press made just after a menu closed can be swallowed before it reaches the tray host
# (the pointer is still grabbed); such a press is made again, at most three times.
press_right() {
  local before; before=$(lines "$1 down R")
  for _ in 1 2 3; do
    at "$1"; xdotool mousedown 3
    wait_for 3 more_lines "$1 down R" "$before" && return 0
    xdotool mouseup 3
  done
  echo "the right press on $1 raised no OnMouseDown"
  return 1
}
choose() {  # choose <A|B> <downs> <expected line>: that icon's menu, the item so many down
  local before; before=$(lines "$3")
  press_right "$1" || return 1
  wait_for 10 menu_visible || { xdotool mouseup 3; echo "no menu on the right press on $1"; return 1; }
  xdotool mouseup 3
  local keys=(); for _ in $(seq "$2"); do keys+=(Down); done
  xdotool key "${keys[@]}" Return
  wait_for 10 more_lines "$3" "$before" || { echo "no \"$3\""; return 1; }
  ! menu_visible || { echo "the menu stayed open"; return 1; }
}

check "a double-click on A raises A's OnDblClick once, no OnClick, nothing of B's" double_click A
check "a single click on B raises B's OnClick once" single_click B 1
check "the right press on A pops A's menu and its item runs" choose A 2 "A item Second"
check "the right press on B pops B's menu and its item runs" choose B 2 "B item Second"

free_first() {
  choose A 3 "A freed" || return 1
  wait_for 10 eval '[ "$(icon_count)" = 1 ]' || { echo "$(icon_count) icon windows after A was freed"; return 1; }
  sleep 1
  find_icons "$results/tray_probe-one-left.png" || return 1
  [ -z "$icon_A" ] || { echo "A's frame is still shown"; return 1; }
  [ -n "$icon_B" ] || { echo "the icon left does not show B's frame"; return 1; }
}
check "freeing A takes its icon out and leaves B's shown" free_first
[ -n "${icon_B:-}" ] || e2e_broken=${e2e_broken:-"B's icon is gone"}
check "B still hears its clicks after A was freed" single_click B 2
check "B's menu still works after A was freed" choose B 2 "B item Second"

quit_removes_icon() {
  choose B 4 "B item Quit" || return 1
  wait_for 20 has_line bye || { echo "the probe did not end"; return 1; }
  wait_for 10 eval '! e2e_icon_window' || { echo "an icon stayed in the tray host"; return 1; }
}
check "Quit ends the probe and no icon is left" quit_removes_icon

e2e_report tray_probe "$results"
