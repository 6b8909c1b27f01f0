#!/usr/bin/env bash
# Release package: a zip with quaffometer.exe, the README and the licence, and beside it the
# installer quaffometer-setup-<version>.exe that the build makes (installer/). Checks that the
# program imports only DLLs Windows itself ships, and that it starts in a fresh Wine prefix
# with nothing else installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}"
export QUAFF_BUILD="$build"
"$root/tools/build.sh" >/dev/null
exe="$build/win64/src/app/quaffometer.exe"

# Windows' own DLLs; anything else (a MinGW runtime, libjpeg) must be linked in statically.
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|advapi32|msvcrt|ucrtbase|api-ms-win-.*|ws2_32|version|uxtheme)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -nE 's/^\s*DLL Name: (.*)$/\1/p' | tr 'A-Z' 'a-z' | sort -u)
bad=$(grep -vE "$system_dlls" <<<"$imports" || true)
echo "package: imports: $(tr '\n' ' ' <<<"$imports")"
[ -z "$bad" ] || { echo "package: imports DLLs Windows does not ship: $bad" >&2; exit 1; }

# A fresh prefix: the program must start and put its icon up with nothing else installed.
export QUAFF_WINEPREFIX="$build/package-prefix"
rm -rf "$QUAFF_WINEPREFIX"
. "$root/tools/display.sh"
set +e  # the display set-up tolerates steps that answer non-zero (a fresh prefix's first boot)
start_display
set -e
trap stop_display EXIT
wine "$exe" & pid=$!
sleep 8
if ! kill -0 $pid 2>/dev/null; then echo "package: the program did not keep running in a fresh prefix" >&2; exit 1; fi
kill $pid 2>/dev/null || true
echo "package: starts in a fresh Wine prefix"

version=$(sed -nE 's/^project\(Quaffometer VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
stage="$build/package/quaffometer-$version"
rm -rf "$build/package"; mkdir -p "$stage"
cp "$exe" "$root/README.md" "$root/LICENSE" "$stage/"
(cd "$build/package" && zip -qr "quaffometer-$version.zip" "quaffometer-$version")
echo "package: $build/package/quaffometer-$version.zip ($(stat -c %s "$exe") bytes of program)"
setup="$build/win64/installer/quaffometer-setup-$version.exe"
[ -f "$setup" ] || { echo "package: the build made no installer $setup (is makensis installed?)" >&2; exit 1; }
cp "$setup" "$build/package/"
echo "package: $build/package/quaffometer-setup-$version.exe ($(stat -c %s "$setup") bytes)"
