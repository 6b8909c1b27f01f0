# Sourced: prepare_prefix makes the Wine prefix in $WINEPREFIX ready once (idempotent):
# created, the designed "MS Sans Serif" and Wine's other fonts visible to it (Debian's Wine
# does not find fonts-wine by itself), and windows not handed to a window manager (there is
# none on the virtual display, and Wine would wait for one each time a window is hidden).
prepare_prefix() {
  [ -f "$WINEPREFIX/.quaff-ready" ] && return 0
  [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
  if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  fi
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  touch "$WINEPREFIX/.quaff-ready"
}

# For a test prefix: a program that crashes ends at once, with the crash's exit code. Wine
# would otherwise start its crash debugger, whose dialog holds a test run on a virtual display
# until the run's timeout. An empty AeDebug Debugger turns it off (a missing one means the
# default debugger).
crash_debugger_off() {
  [ -f "$WINEPREFIX/.quaff-no-crash-debugger" ] && return 0
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
    >/dev/null 2>&1 && touch "$WINEPREFIX/.quaff-no-crash-debugger"
}
