#!/usr/bin/env bash
# End to end: the real program in a real tray host (trayer) on a display of its own, driven
# with xdotool like a user, checked by screenshots, window lists and the registry.
#   program_test.sh <quaffometer.exe> <tiptext.exe> <e2e_frame_dump> <results dir> <shots dir>
# Prints "N passed, M failed", writes <results>/e2e-program.xml, exits non-zero on failure.
set -u
if [ $# -ne 5 ] || [ ! -f "$1" ] || [ ! -f "$2" ] || [ ! -x "$3" ]; then
  echo "usage: $0 <quaffometer.exe> <tiptext.exe> <e2e_frame_dump> <results dir> <shots dir>" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
tiptext=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
framedump=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
mkdir -p "$4" "$5"; results=$(cd "$4" && pwd); shots=$(cd "$5" && pwd)
work="$results/e2e-program"; rm -rf "$work"; mkdir -p "$work"
export E2E_FAILSHOTS="$work"

export WINEPREFIX="${QUAFF_E2E_WINEPREFIX:-$(dirname "$exe")/wineprefix-e2e}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
prog_pid=
trap '[ -n "$prog_pid" ] && kill $prog_pid 2>/dev/null; e2e_stop_display' EXIT

key='HKCU\Software\Orvik\Quaffometer'
reg_set() { wine reg add "$key\\Settings" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }
reg_del() { wine reg delete "$key\\Settings" /v "$1" /f >/dev/null 2>&1; }
reg_has() { wine reg query "$key\\Settings" /v "$1" >/dev/null 2>&1; }
windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
count_named() { windows_named "$1" | grep -c .; }
shot() { import -window root "$shots/program-$1.png" 2>/dev/null; }
# Unix path to the Windows path Wine gives it (the root is drive Z:).
winpath() { printf 'Z:%s' "$(sed 's#/#\\#g' <<<"$1")"; }

# Settings made so that one second of counting buys exactly one sixteenth of a drink:
# 7 days a week make the working days the month's days, and the salary pays 1 a second
# over one-hour days; the price of a drink is 16. Frame = seconds mod 16.
dim=$(cal "$(date +%m)" "$(date +%Y)" 2>/dev/null | awk 'NF {d=$NF} END {print d}')
[ -n "$dim" ] && [ "$dim" -ge 28 ] 2>/dev/null || dim=$(date -d "$(date +%Y-%m-01) +1 month -1 day" +%d)
pics="$work/pictures"; mkdir -p "$pics"
convert -size 800x600 plasma:fractal -seed 7 -quality 85 "$pics/first.jpg" 2>/dev/null
convert -size 640x480 gradient:orange-navy -quality 85 "$pics/second.jpg" 2>/dev/null

e2e_start_display
if [ -z "$e2e_broken" ]; then
  wine reg delete "$key" /f >/dev/null 2>&1
  reg_set UserName "Sam"; reg_set Salary "$((43200 * 10#$dim))"; reg_set DaysAWeek 7
  reg_set HoursADay 1; reg_set PriceOfDrink 16; reg_set IconSet 7
  reg_set ImageDir "$(winpath "$pics")\\"
  wine "$exe" >"$work/program.out" 2>&1 &
  prog_pid=$!
fi

icon_matches() {  # icon_matches <set>: prints the frames of the set the tray icon shows
  local raw="$work/icon.rgb"
  import -window root -crop "${w}x${h}+${x}+${y}" -depth 8 "rgb:$raw" 2>/dev/null || return 1
  "$framedump" --match "$1" "$w" "$h" "$raw"
}

starts() {
  wait_for 60 e2e_icon_window || { echo "no icon in the tray host"; return 1; }
  icon=$(e2e_icon_window); e2e_geometry "$icon"; cx=$((x + w / 2)); cy=$((y + h / 2))
  local frames; frames=$(wait_for 10 icon_matches 0 && icon_matches 0)
  shot tray-start
  [[ " $frames " == *" 15 "* ]] || { echo "the tray shows frames '$frames' of Bitter Full, not 15"; return 1; }
}
check "at start the tray shows frame 15 of Bitter Full for IconSet 7" starts

# The program's popup menu: a visible window of the program without a name.
menu_open() {
  local m; for m in $(xdotool search --onlyvisible --classname '^quaffometer\.exe$' 2>/dev/null); do
    [ -z "$(xdotool getwindowname "$m" 2>/dev/null)" ] && return 0
  done
  return 1
}
menu_choose() {  # menu_choose <downs>: right press on the icon, pick the item
  local keys=() tries
  for _ in $(seq "$1"); do keys+=(Down); done
  # A press made just after a menu or dialog closed can be swallowed while the pointer is
  # still grabbed: press again, at most three times.
  for tries in 1 2 3; do
    xdotool mousemove "$cx" "$cy" mousedown 3; sleep 0.2; xdotool mouseup 3
    wait_for 3 menu_open && break
  done
  menu_open || { echo "no menu on the right press"; return 1; }
  sleep 0.5  # the menu takes the keyboard once it is up
  xdotool key --delay 100 "${keys[@]}" Return
  wait_for 3 eval '! menu_open'
}
monitor_shown() { windows_named "^Sam 's Quaffometer\$" | head -n1 | grep .; }

opens_monitor() {
  xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1
  wait_for 10 monitor_shown || { echo "no monitor window after a double-click"; return 1; }
  mon=$(monitor_shown); sleep 1; shot monitor
}
check "a double-click opens the monitor window with the user's name" opens_monitor

settings_guarded() {
  menu_choose 2 || return 1; sleep 2
  [ "$(count_named '^Settings$')" = 0 ] || { echo "the settings dialog opened over the monitor window"; return 1; }
}
check "\"Settings...\" does nothing while the monitor window is shown" settings_guarded

start_and_close() {
  local wx wy ww wh; e2e_geometry "$mon"; wx=$x; wy=$y; ww=$w; wh=$h
  e2e_geometry "$icon"
  xdotool mousemove $((wx + 48)) $((wy + wh - 27)) click 1
  t_start=$(date +%s.%N)
  sleep 0.5; shot monitor-started
  xdotool windowactivate --sync "$mon" 2>/dev/null; xdotool key --window "$mon" alt+F4
  wait_for 5 eval '! monitor_shown' || { echo "the monitor window did not close"; return 1; }
}
check "Start, then closing the monitor window keeps the program in the tray" start_and_close

counts() {
  sleep 7
  local frames now lo hi e ok=""; frames=$(icon_matches 0); now=$(date +%s.%N)
  shot tray-counting
  # The last tick came at most 2 s before the capture; Start was pressed within a second of
  # t_start. The frame is the elapsed whole seconds mod 16 at that tick.
  lo=$(awk -v a="$now" -v b="$t_start" 'BEGIN {v = a - b - 3.5; print (v < 0 ? 0 : int(v))}')
  hi=$(awk -v a="$now" -v b="$t_start" 'BEGIN {print int(a - b + 1.5)}')
  for e in $(seq "$lo" "$hi"); do [[ " $frames " == *" $((e % 16)) "* ]] && ok=yes; done
  [ -n "$ok" ] || { echo "frames '$frames' shown, expected one of $lo..$hi seconds mod 16"; return 1; }
}
check "while counting the tray shows the frame of the elapsed time" counts

hint_reads() {
  xdotool mousemove "$cx" "$cy"; sleep 0.3; xdotool mousemove $((cx + 1)) "$cy"; sleep 1.5
  shot tray-hint
  xdotool mousemove 10 10
  local tips; tips=$(wine "$tiptext" 2>/dev/null | tr -d '\r')
  grep -qE '^[0-9]+ drinks earnt$' <<<"$tips" || { echo "the tray's tips are '$tips', none 'N drinks earnt'"; return 1; }
}
check "the tip reads \"N drinks earnt\"" hint_reads

dialog_button() {  # dialog_button <window> <x from the left> <y from the bottom>: click
  e2e_geometry "$1"
  xdotool mousemove $((x + $2)) $((y + h - $3)) click 1
}
settings_ok() {
  reg_del ImageDir
  settings_ok_steps; local rc=$?
  reg_set ImageDir "$(winpath "$pics")\\"
  return $rc
}
settings_ok_steps() {
  menu_choose 2 || return 1
  wait_for 10 eval 'windows_named "^Settings\$" | grep -q .' || { echo "no settings dialog"; return 1; }
  sleep 1; shot settings
  dialog_button "$(windows_named '^Settings$' | head -n1)" 192 29
  wait_for 5 eval '! windows_named "^Settings\$" | grep -q .' || { echo "OK did not close the dialog"; return 1; }
  reg_has ImageDir || { echo "OK did not write the settings"; return 1; }
}
check "\"Settings...\" opens the dialog when the monitor is closed; OK writes the registry" settings_ok

# (A value the tick does not read, so no error box comes up while counting goes on.)
settings_cancel() {
  reg_del UserName
  settings_cancel_steps; local rc=$?
  reg_set UserName Sam
  return $rc
}
settings_cancel_steps() {
  menu_choose 2 || return 1
  wait_for 10 eval 'windows_named "^Settings\$" | grep -q .' || { echo "no settings dialog"; return 1; }
  sleep 0.5
  dialog_button "$(windows_named '^Settings$' | head -n1)" 272 29
  wait_for 5 eval '! windows_named "^Settings\$" | grep -q .' || { echo "Cancel did not close the dialog"; return 1; }
  ! reg_has UserName || { echo "Cancel wrote the settings"; return 1; }
}
check "Cancel in the settings dialog writes nothing" settings_cancel

about_opens() {
  menu_choose 4 || return 1
  wait_for 10 eval 'windows_named "^About Quaffometer\$" | grep -q .' || { echo "no about box"; return 1; }
  sleep 0.5; shot about
  dialog_button "$(windows_named '^About Quaffometer$' | head -n1)" 152 27
  wait_for 5 eval '! windows_named "^About Quaffometer\$" | grep -q .' || { echo "OK did not close the about box"; return 1; }
}
check "\"About...\" opens the about box and OK closes it" about_opens

one_error_box() {
  reg_set Salary abc
  local most=0 seen=0 n
  for _ in $(seq 20); do
    n=$(count_named '^Quaffometer$'); [ "$n" -gt "$most" ] && most=$n; [ "$n" -ge 1 ] && seen=$((seen+1))
    sleep 0.5
  done
  shot error-box
  reg_set Salary "$((43200 * 10#$dim))"
  # The box has the focus: Return presses its OK.
  for _ in 1 2 3; do [ "$(count_named '^Quaffometer$')" = 0 ] && break; xdotool key Return; sleep 1; done
  [ "$seen" -gt 0 ] || { echo "no error box for a salary that is not a number"; return 1; }
  [ "$most" = 1 ] || { echo "$most error boxes open at once"; return 1; }
}
check "a salary that is not a number shows exactly one error box over ten seconds" one_error_box

second_copy() {
  wine "$exe" >/dev/null 2>&1; local rc=$?
  wait_for 10 monitor_shown || { echo "the running copy did not show its monitor window"; return 1; }
  [ "$rc" = 0 ] || { echo "the second copy exited with $rc"; return 1; }
  local icons; icons=$(xwininfo -tree -id "$panel" | awk '/\(.*explorer\.exe/ && $0 !~ / 1x1\+/' | grep -c .)
  [ "$icons" = 1 ] || { echo "$icons icons in the tray"; return 1; }
}
check "starting a second copy shows the running one's monitor window and adds no icon" second_copy

exit_while_shown() {
  monitor_shown >/dev/null || { xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1; wait_for 10 monitor_shown; }
  menu_choose 3 || return 1
  wait_for 15 eval '! kill -0 $prog_pid 2>/dev/null' || { echo "the program did not end"; return 1; }
  prog_pid=
  wait_for 10 eval '! e2e_icon_window' || { echo "the icon stayed in the tray"; return 1; }
}
check "Exit while the monitor window is shown removes the icon and ends the program" exit_while_shown

# After Exit the next start is idle. From here on the name and the picture folder are in other
# scripts, put in the registry by hand, and the program is ended in other ways.
stored= t_start=0; uname='Łukasz Ćwik Ωμέγα Жора'; udir="$work/Łódź Ωμέγα Жора"
mkdir -p "$udir"; convert -size 320x240 xc:'#c03020' -quality 95 "$udir/Żółw.jpg" 2>/dev/null
period() { wine reg query "$key\\Settings" /v PeriodStart 2>/dev/null | tr -d '\r' | awk '/PeriodStart/ {print $3, $4}'; }
# The exported value exactly as stored (regedit writes UTF-16; a "\" is doubled there).
exported() { wine regedit /E "$(winpath "$work/s.reg")" "HKEY_CURRENT_USER\\Software\\Orvik\\Quaffometer\\Settings" >/dev/null 2>&1
  iconv -f UTF-16 -t UTF-8 "$work/s.reg" | tr -d '\r' | sed -n "s/^\"$1\"=\"\\(.*\\)\"\$/\\1/p" | sed 's/\\\\/\\/g'; }
launch() {
  wine "$exe" >>"$work/program.out" 2>&1 & prog_pid=$!
  wait_for 60 e2e_icon_window || { echo "no icon"; return 1; }
  icon=$(e2e_icon_window) && e2e_geometry "$icon" || { echo "the icon went"; return 1; }
  cx=$((x + w / 2)); cy=$((y + h / 2))
}
idle() { sleep 4; [[ " $(icon_matches 0) " == *" 15 "* ]] || { echo "not idle: frames '$(icon_matches 0)'"; return 1; }; }
monitor_name="^$uname 's Quaffometer\$"
umonitor() { windows_named "$monitor_name" | head -n1 | grep .; }
open_monitor() { xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1; wait_for 10 umonitor || { echo "no monitor window"; return 1; }; }
click_in_monitor() {  # click_in_monitor <x from the left>: Start is at 48, Stop at 128
  e2e_geometry "$(umonitor)"; xdotool mousemove $((x + $1)) $((y + h - 27)) click 1; sleep 1
}
close_monitor() {
  local mon; mon=$(umonitor) || return 1
  e2e_geometry "$mon"; xdotool mousemove $((x + w - 12)) $((y + 11)) click 1  # its close box
  wait_for 5 eval '! umonitor' || { echo "the monitor window did not close"; return 1; }
  e2e_geometry "$icon"
}
resumed() {  # the frame the time since $t_start gives, and the period as stored before
  sleep 5; [ "$(period)" = "$stored" ] || { echo "period '$(period)', was '$stored'"; return 1; }
  counts
}

exit_idle() {
  [ -z "$(period)" ] || { echo "Exit left the period '$(period)'"; return 1; }
  wine reg add "$key\\Settings" /v UserName /d "$uname" /f >/dev/null 2>&1
  reg_set ImageDir "$(winpath "$udir")\\"
  launch && idle
}
check "after Exit the next start is idle" exit_idle

any_script() {
  xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1
  wait_for 10 umonitor || { echo "no window named '$uname 's Quaffometer'"; return 1; }
  sleep 1; shot any-script; e2e_geometry "$(umonitor)"
  local rgb; rgb=$(import -window root -crop "1x1+$((x + w / 2))+$((y + h / 3))" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}')
  click_in_monitor 48; t_start=$(date +%s.%N); close_monitor
  [[ "$rgb" =~ ^#[A-F][0-9A-F][0-5][0-9A-F][0-5][0-9A-F]$ ]] || { echo "the picture's colour is $rgb"; return 1; }
  menu_choose 2 && wait_for 10 eval 'windows_named "^Settings\$" | grep -q .' || { echo "no settings dialog"; return 1; }
  sleep 1; dialog_button "$(windows_named '^Settings$' | head -n1)" 192 29
  wait_for 5 eval '! windows_named "^Settings\$" | grep -q .' || { echo "OK did not close the dialog"; return 1; }
  reg_set Salary "$((43200 * 10#$dim))"  # seven digits, which the salary field cuts to six
  [ "$(exported UserName)" = "$uname" ] && [ "$(exported ImageDir)" = "$(winpath "$udir")\\" ] ||
    { echo "OK stored '$(exported UserName)', '$(exported ImageDir)'"; return 1; }
  stored=$(period); [ -n "$stored" ] || { echo "Start stored no period"; return 1; }
}
check "a name and folder in other scripts show exactly, and OK stores them back unchanged" any_script

# Killed, and its icon gone from the tray (so the next launch does not take it for its own).
killed() {
  kill -9 $prog_pid; wait_for 10 eval '! kill -0 $prog_pid 2>/dev/null'
  wait_for 10 eval '! e2e_icon_window' || true
}
killed_resumes() { killed; launch && resumed; }
check "a killed copy's period is resumed at the next start, with the frame of its elapsed time" killed_resumes

session_ends() {
  wine wineboot --end-session >/dev/null 2>&1
  wait_for 15 eval '! kill -0 $prog_pid 2>/dev/null' || { echo "the program did not end"; return 1; }
  wait_for 5 eval '! e2e_icon_window' || { echo "the icon stayed in the tray"; return 1; }
  launch && resumed
}
check "the end of the session removes the icon and keeps the period, resumed at the next start" session_ends

stop_idle() {
  open_monitor && click_in_monitor 128 && close_monitor || return 1
  [ -z "$(period)" ] || { echo "Stop left the period '$(period)'"; return 1; }
  killed; launch && idle
}
check "after Stop the next start is idle" stop_idle

# Nothing stored, Start: one box, no other for ten seconds, and the user can still get out.
one_report() {
  wine reg delete "$key" /f >/dev/null 2>&1
  monitor_name='^Quaffometer$'  # no name stored; the error box has the same title
  open_monitor || return 1
  local mon; mon=$(umonitor)
  boxes() { windows_named '^Quaffometer$' | grep -vx "$mon" | grep -c .; }
  click_in_monitor 48
  wait_for 5 eval '[ "$(boxes)" = 1 ]' || { echo "no error box"; return 1; }
  local box; box=$(windows_named '^Quaffometer$' | grep -vx "$mon" | head -n1); shot nothing-stored
  e2e_geometry "$box"; xdotool mousemove $((x + w / 2)) $((y + h - 22)) click 1
  wait_for 5 eval '[ "$(boxes)" = 0 ]' || { echo "the box did not close"; return 1; }
  sleep 10
  [ "$(boxes)" = 0 ] || { echo "another box came"; return 1; }
  click_in_monitor 128; [ -z "$(period)" ] || { echo "Stop did not end the period"; return 1; }
  close_monitor || return 1
  menu_choose 2 && wait_for 10 eval 'windows_named "^Settings\$" | grep -q .' || { echo "Settings did not open"; return 1; }
}
check "with nothing stored, Start reports once; Stop, closing and Settings still work" one_report

e2e_report program "$results"
