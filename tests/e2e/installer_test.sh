#!/usr/bin/env bash
# End to end: make package with a throwaway certificate, then its installer and uninstaller,
# silent and by hand, in a fresh Wine prefix with a real tray host. The signatures and sums of
# what it made, what a silent install puts in place, the installed program docking in the
# tray, an update over a counting copy (closed, started again still counting, settings and the
# sign-in choice kept), a copy that does not quit (silent: give up; by hand: end it keeping its
# period, or go on without starting it once the user ended it), and uninstalls that leave
# nothing of the install behind, drop a left-over period and keep or remove the settings.
#   installer_test.sh <tiptext.exe> <results dir> <shots dir>
# Prints "N passed, M failed", writes <results>/e2e-installer.xml, exits non-zero on failure.
set -u
if [ $# -ne 3 ]; then
  echo "usage: $0 <tiptext.exe> <results dir> <shots dir>" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
tiptext=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$2" "$3"; results=$(cd "$2" && pwd); shots=$(cd "$3" && pwd)
work="$results/e2e-installer"; rm -rf "$work"; mkdir -p "$work"
export E2E_FAILSHOTS="$work"

# make package, signing with a certificate made here: what it signs is what the checks below
# install. osslsigncode trusts the certificate only as told; the signature itself is checked.
signed() {
  osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >/dev/null 2>&1 || { echo "no valid signature on $1"; return 1; }
}
signed_package() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quaffometer test" -addext \
    extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1 &&
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:test \
      -out "$work/test.pfx" || { echo "no test certificate"; return 1; }
  QUAFF_SIGN_PFX="$work/test.pfx" QUAFF_SIGN_PASSWORD=test QUAFF_PACKAGE_DIR="$work/package" \
    "$here/../../tools/package.sh" >"$work/package.log" 2>&1 || { tail -n 3 "$work/package.log"; return 1; }
  setup=$(ls "$work"/package/quaffometer-setup-*.exe) || return 1
  (cd "$work/package" && sha256sum --quiet -c SHA256SUMS) || { echo "SHA256SUMS does not match"; return 1; }
  signed "$setup"
}
check "make package signs the setup, and SHA256SUMS holds the sums of the signed files" \
  signed_package || e2e_broken="no package to install"
version=$(sed -nE 's/^quaffometer-setup-(.*)\.exe$/\1/p' <<<"$(basename "${setup:-}")")

# A throwaway prefix: nothing installed before. Wine's menu builder stays off, so the
# shortcuts do not reach this machine's own desktop menus.
export WINEPREFIX="$work/wineprefix"
rm -rf "$WINEPREFIX"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=win64
prog_pid= setup_pid=
trap '[ -n "$prog_pid" ] && kill -CONT $prog_pid 2>/dev/null && kill $prog_pid 2>/dev/null
      [ -n "$setup_pid" ] && kill $setup_pid 2>/dev/null; e2e_stop_display' EXIT
e2e_start_display

settings='HKCU\Software\Orvik\Quaffometer'
entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quaffometer'
# reg_value <key> <name>: the value's data as reg.exe shows it (a DWORD as 0x...).
reg_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -nE "s/^ +$2 +REG_[A-Z]+ +//p"; }
reg_key() { wine reg query "$1" >/dev/null 2>&1; }
# The user's folders where the prefix has them (Wine spells the Startup folder its own way).
folder() { winepath -u "$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' "$1")" 2>/dev/null; }
if [ -z "$e2e_broken" ]; then
  instdir="$(folder 'Local AppData')/Programs/Quaffometer"
  menu_link="$(folder Programs)/Quaffometer.lnk"
  startup_link="$(folder StartUp)/Quaffometer.lnk"
  profile=$(dirname "$(folder Desktop)")
  [ -d "$profile" ] || e2e_broken="no user profile in the prefix"
fi

# The installed program's process in this prefix (other prefixes may run one too).
program_pid() {
  local p; for p in $(pgrep -f 'quaffometer\.exe'); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done | head -n1 | grep .
}
docked() {
  wait_for 60 e2e_icon_window || { echo "no icon in the tray host"; return 1; }
  prog_pid=$(program_pid) || { echo "no program process"; return 1; }
}
start_program() { wine "$instdir/quaffometer.exe" >/dev/null 2>&1 & docked; }
# The program ended and its icon left the tray.
program_ended() {
  wait_for 30 eval '! kill -0 $prog_pid 2>/dev/null' || { echo "the running program did not end"; return 1; }
  prog_pid=
  wait_for 10 eval '! e2e_icon_window' || { echo "the icon stayed in the tray"; return 1; }
}
# The uninstaller hands over to a copy of itself and returns at once: wait for the copy.
uninstall() {
  wine "$instdir/uninstall.exe" "$@" >/dev/null 2>&1 || { echo "the uninstaller failed"; return 1; }
  wait_for 60 eval '! reg_key "$entry" && [ ! -e "$instdir" ]' || { echo "the uninstall did not finish"; return 1; }
}
# Nothing of the install left: no file of it in the user's profile, no entry.
nothing_left() {
  local left; left=$(find "$profile" -iname '*quaffometer*' 2>/dev/null)
  [ -z "$left" ] || { echo "left behind: $left"; return 1; }
  ! reg_key "$entry" || { echo "the installed-programs entry is still there"; return 1; }
}

installs() {
  wine reg add "$settings\\Settings" /v UserName /d Sam /f >/dev/null 2>&1  # an earlier version's
  wine "$setup" /S /STARTUP=1 >/dev/null 2>&1 || { echo "the silent install failed ($?)"; return 1; }
  local f want got
  for f in "$instdir/quaffometer.exe" "$instdir/uninstall.exe" "$menu_link" "$startup_link"; do
    [ -f "$f" ] || { echo "missing: $f"; return 1; }
  done
  local kb=$(( $(stat -c %s "$instdir/quaffometer.exe") / 1024 ))
  for want in "DisplayName=^Quaffometer\$" "Publisher=^Orvik\$" "DisplayVersion=^$version\$" \
              'DisplayIcon=\\quaffometer\.exe,0$' 'UninstallString=^"C:\\.*\\uninstall\.exe"$' \
              'QuietUninstallString=\\uninstall\.exe" /S$' 'NoModify=^0x1$' 'NoRepair=^0x1$'; do
    got=$(reg_value "$entry" "${want%%=*}")
    grep -qE "${want#*=}" <<<"$got" || { echo "${want%%=*} is '$got'"; return 1; }
  done
  got=$(reg_value "$entry" EstimatedSize)
  [ $((got)) -ge $kb ] || { echo "EstimatedSize $got KB for a program of $kb KB"; return 1; }
}
check "a silent install puts the program, its shortcuts and its installed-programs entry in place" installs

installed_signed() { signed "$instdir/quaffometer.exe" && signed "$instdir/uninstall.exe"; }
check "the installed program and the uninstaller the installer wrote carry valid signatures" installed_signed

# Signing in (Wine's start of a session) runs what the Startup folder names.
signs_in() {
  wineserver -k; wine wineboot >/dev/null 2>&1
  docked && import -window root "$shots/installed-tray.png" 2>/dev/null
}
check "signing in starts the installed program, which docks in the tray" signs_in

# Counting, with the monitor window shown modally (so the request must end that showing
# first): the copy the installer starts again resumes the period from its original start.
update_over_running() {
  local v x y w h
  for v in Salary=3600000 DaysAWeek=5 HoursADay=8 PriceOfDrink=1; do
    wine reg add "$settings\\Settings" /v "${v%%=*}" /d "${v#*=}" /f >/dev/null 2>&1
  done
  e2e_geometry "$(e2e_icon_window)"
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click --repeat 2 --delay 80 1
  wait_for 10 eval 'xdotool search --onlyvisible --name "Quaffometer\$" | grep -q .' ||
    { echo "no monitor window to quit from"; return 1; }
  e2e_geometry "$(xdotool search --onlyvisible --name 'Quaffometer$' | head -n1)"
  xdotool mousemove $((x + 48)) $((y + h - 27)) click 1  # Start
  wait_for 5 eval '[ -n "$(reg_value "$settings\\Settings" PeriodStart)" ]' || { echo "Start stored no period"; return 1; }
  local period old=$prog_pid; period=$(reg_value "$settings\\Settings" PeriodStart)
  wine "$setup" /S >/dev/null 2>&1 || { echo "the update failed ($?)"; return 1; }
  wait_for 30 eval '! kill -0 $old 2>/dev/null' || { echo "the running program did not end"; return 1; }
  docked && [ "$prog_pid" != "$old" ] || { echo "the update did not start the program again"; return 1; }
  [ "$(reg_value "$settings\\Settings" PeriodStart)" = "$period" ] || { echo "the period was not kept"; return 1; }
  wait_for 10 eval 'wine "$tiptext" 2>/dev/null | tr -d "\r" | grep -qE "^[0-9]+ drinks earnt\$"' ||
    { echo "the restarted copy is not counting"; return 1; }
  [ "$(reg_value "$settings\\Settings" UserName)" = Sam ] || { echo "the settings were lost"; return 1; }
  [ -f "$startup_link" ] || { echo "the sign-in choice was not kept"; return 1; }
}
check "an update closes the counting copy, even with a window shown, and starts it again still counting" update_over_running

# A copy that cannot answer (stopped): the installer gives up with an error and changes nothing.
hung_copy() {
  [ -n "$prog_pid" ] && kill -0 $prog_pid 2>/dev/null || start_program || return 1
  local before; before=$(stat -c %Z "$instdir/quaffometer.exe")  # the time it was written
  kill -STOP $prog_pid
  wine "$setup" /S /STARTUP=0 >/dev/null 2>&1; local rc=$?
  kill -CONT $prog_pid
  [ "$rc" != 0 ] || { echo "the installer reported success over a copy that did not quit"; return 1; }
  [ "$(stat -c %Z "$instdir/quaffometer.exe")" = "$before" ] && [ -f "$startup_link" ] ||
    { echo "the installer changed the install although it gave up"; return 1; }
}
check "an update gives up with an error, changing nothing, when the running copy does not quit" hung_copy

# The setup run by hand over a copy that does not answer (stopped): through its pages (Next,
# Next, Install) to the box that says what each answer does; with_setup_done closes it after.
# (The main window's title ends in a space while it installs.)
setup_windows() { xdotool search --onlyvisible --name "^Quaffometer $version Setup" | sort -u | grep -c .; }
setup_over_hung_copy() {
  [ -n "$prog_pid" ] && kill -0 $prog_pid 2>/dev/null || start_program || return 1
  kill -STOP $prog_pid
  wine "$setup" >/dev/null 2>&1 & setup_pid=$!
  wait_for 20 eval '[ "$(setup_windows)" -ge 1 ]' || { echo "no setup window"; return 1; }
  local page; for page in 1 2 3; do sleep 2; xdotool key Return; done
  wait_for 60 eval '[ "$(setup_windows)" -ge 2 ]' || { echo "no box about the copy that did not quit"; return 1; }
  import -window root "$shots/installer-did-not-quit.png" 2>/dev/null
}
with_setup_done() {
  "$@"; local rc=$?
  [ -n "$prog_pid" ] && kill -CONT $prog_pid 2>/dev/null
  kill $setup_pid 2>/dev/null; wait $setup_pid 2>/dev/null; setup_pid=
  return $rc
}

# Yes ends the copy for the user: the period it was counting is kept, as after a crash, for
# the copy the install starts again.
ends_hung_copy() {
  setup_over_hung_copy || return 1
  local old=$prog_pid period; period=$(reg_value "$settings\\Settings" PeriodStart)
  xdotool key y
  wait_for 30 eval '! kill -0 $old 2>/dev/null' || { echo "Yes did not end the copy"; return 1; }
  docked && [ "$prog_pid" != "$old" ] || { echo "the install did not start the program again"; return 1; }
  [ -n "$period" ] && [ "$(reg_value "$settings\\Settings" PeriodStart)" = "$period" ] ||
    { echo "the period '$period' was not kept"; return 1; }
}
check "by hand, Yes in the installer's box ends a copy that does not quit; its period is kept for the copy started again" \
  with_setup_done ends_hung_copy

# Once the user ended the copy (here killed, as Task Manager does), trying again goes on with
# the install, which starts nothing: it closed nothing.
user_ended_copy() {
  setup_over_hung_copy || return 1
  local before; before=$(stat -c %Z "$instdir/uninstall.exe")
  kill -KILL $prog_pid; prog_pid=
  xdotool key Return  # the box's default: try again
  wait_for 60 eval '[ "$(stat -c %Z "$instdir/uninstall.exe")" != "$before" ]' || { echo "the install did not go on"; return 1; }
  sleep 5
  ! program_pid >/dev/null || { echo "the install started a copy it had not closed"; return 1; }
}
check "by hand, after the user ended a copy that did not quit, the install goes on and starts nothing" \
  with_setup_done user_ended_copy

# A copy killed while counting leaves its period behind: an uninstall that keeps the settings
# drops it, so that an install months later does not resume it.
uninstall_keeps() {
  local p; p=$(program_pid) && kill -KILL $p; prog_pid=
  wine reg add "$settings\\Settings" /v PeriodStart /d 46000.375 /f >/dev/null 2>&1
  uninstall /S && nothing_left || return 1
  [ "$(reg_value "$settings\\Settings" UserName)" = Sam ] || { echo "a silent uninstall removed the settings"; return 1; }
  [ -z "$(reg_value "$settings\\Settings" PeriodStart)" ] || { echo "the uninstall kept the period"; return 1; }
}
check "a silent uninstall leaves nothing of the install and keeps the settings, not a killed copy's period" uninstall_keeps

uninstall_removes() {
  wine "$setup" /S >/dev/null 2>&1 || { echo "the install failed"; return 1; }
  [ ! -e "$startup_link" ] || { echo "a sign-in shortcut without /STARTUP=1"; return 1; }
  start_program || return 1
  uninstall /S /REMOVESETTINGS=1 || return 1
  program_ended && nothing_left || return 1
  ! reg_key 'HKCU\Software\Orvik' || { echo "the settings are still there"; return 1; }
}
check "an uninstall asked to remove the settings closes the program and removes them as well" uninstall_removes

e2e_report installer "$results"
