#!/usr/bin/env bash
# Release package, in build/package (or $QUAFF_PACKAGE_DIR): quaffometer-<version>.zip with
# quaffometer.exe, the README and the licence; the installer quaffometer-setup-<version>.exe
# (installer/quaffometer.nsi); and SHA256SUMS of the two. Checks that the changelog has the
# version, that the program imports only DLLs Windows itself ships, and that it starts in a
# fresh Wine prefix with nothing else installed.
# The same commit gives the same bytes (make reproduce): every file is dated with the commit's
# time, the zip holds its files in one order and no owner. Given a certificate (tools/sign.sh
# says how), the program, the uninstaller and the setup are signed; the sums are of the signed
# files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}"
export QUAFF_BUILD="$build"
out="${QUAFF_PACKAGE_DIR:-$build/package}"

# The version is set in CMakeLists.txt alone; users read what it changed in the changelog.
version=$(sed -nE 's/^project\(Quaffometer VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
if ! grep -qE "^## ${version//./\\.}( |$)" "$root/CHANGELOG.md"; then
  echo "package: CHANGELOG.md has no entry \"## $version\" for the version in CMakeLists.txt" >&2
  exit 1
fi
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}"
[ -n "$SOURCE_DATE_EPOCH" ] || { echo "package: no commit to date the files: set SOURCE_DATE_EPOCH" >&2; exit 1; }

"$root/tools/build.sh" quaffometer >/dev/null
exe="$build/win64/src/app/quaffometer.exe"

# Windows' own DLLs; anything else (a MinGW runtime, libjpeg) must be linked in statically.
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|advapi32|msvcrt|ucrtbase|api-ms-win-.*|ws2_32|version|uxtheme)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -nE 's/^\s*DLL Name: (.*)$/\1/p' | tr 'A-Z' 'a-z' | sort -u)
bad=$(grep -vE "$system_dlls" <<<"$imports" || true)
echo "package: imports: $(tr '\n' ' ' <<<"$imports")"
[ -z "$bad" ] || { echo "package: imports DLLs Windows does not ship: $bad" >&2; exit 1; }

if [ -n "${QUAFF_SIGN_PFX:-}" ]; then
  sign="$root/tools/sign.sh"
else
  sign=""; echo "package: no certificate (QUAFF_SIGN_PFX is not set): nothing is signed"
fi
name="quaffometer-$version"; stage="$out/$name"; setup="quaffometer-setup-$version.exe"
files=(quaffometer.exe README.md LICENSE)
rm -rf "$out"; mkdir -p "$stage"
cp "$exe" "$root/README.md" "$root/LICENSE" "$stage/"
[ -z "$sign" ] || "$sign" "$stage/quaffometer.exe"
chmod 755 "$stage"; chmod 644 "${files[@]/#/$stage/}"
touch -d "@$SOURCE_DATE_EPOCH" "$stage" "${files[@]/#/$stage/}"

# A fresh prefix: the program must start and put its icon up with nothing else installed.
export QUAFF_WINEPREFIX="$out-prefix"
rm -rf "$QUAFF_WINEPREFIX"
. "$root/tools/display.sh"
set +e  # the display set-up tolerates steps that answer non-zero (a fresh prefix's first boot)
start_display
set -e
trap stop_display EXIT
wine "$stage/quaffometer.exe" & pid=$!
sleep 8
if ! kill -0 $pid 2>/dev/null; then echo "package: the program did not keep running in a fresh prefix" >&2; exit 1; fi
kill $pid 2>/dev/null || true
echo "package: starts in a fresh Wine prefix"

makensis -V2 -NOCD -DVERSION="$version" -DPROGRAM="$stage/quaffometer.exe" \
  -DICON="$build/win64/src/resources/artwork/mainicon.ico" -DREADME="$stage/README.md" \
  -DLICENSE="$stage/LICENSE" -DOUTFILE="$out/$setup" ${sign:+-DSIGN="$sign"} \
  "$root/installer/quaffometer.nsi" >/dev/null
# Dates in the zip are local times: UTC, so that every machine writes the same.
(cd "$out" && TZ=UTC zip -X -q "$name.zip" "$name/" "${files[@]/#/$name/}")
(cd "$out" && sha256sum "$name.zip" "$setup" >SHA256SUMS)
echo "package: $out/$name.zip ($(stat -c %s "$stage/quaffometer.exe") bytes of program)"
echo "package: $out/$setup ($(stat -c %s "$out/$setup") bytes)"
echo "package: $out/SHA256SUMS${sign:+ (of the signed files)}"
