#!/usr/bin/env bash
# Runs a Windows program under Wine for the build's tests: a private prefix inside the build
# tree (never the user's own), no Wine debug chatter, no Mono or Gecko prompts, and a virtual
# display when none is set, and no crash debugger: a test that crashes fails at once.
# QUAFF_WINEPREFIX overrides the prefix.
set -u
exe="$1"; shift
if [ -z "${QUAFF_WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$exe")" && pwd)
  while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] || dir=$(cd "$(dirname "$exe")" && pwd)
  QUAFF_WINEPREFIX="$dir/wineprefix"
fi
export WINEPREFIX="$QUAFF_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
. "$(dirname "${BASH_SOURCE[0]}")/../tools/wine-prefix.sh"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
    '. "$0"; prepare_prefix; crash_debugger_off; exec wine "$@"' "$(dirname "${BASH_SOURCE[0]}")/../tools/wine-prefix.sh" "$exe" "$@"
fi
prepare_prefix
crash_debugger_off
exec wine "$exe" "$@"
