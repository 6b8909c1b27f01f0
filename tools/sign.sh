#!/usr/bin/env bash
# Signs a Windows program in place, Authenticode with SHA-256, with Debian's osslsigncode:
#   sign.sh <file.exe>
# make package runs it on quaffometer.exe and the setup, and NSIS on the uninstaller.
#   QUAFF_SIGN_PFX        the code-signing certificate with its key, a PKCS#12 (.pfx) file
#   QUAFF_SIGN_PASSWORD   its password, handed over through a pipe, never on a command line
#   QUAFF_SIGN_TIMESTAMP  the URL of an RFC 3161 time-stamping server, when there is one
# The signing time is SOURCE_DATE_EPOCH (make package sets the commit's time), so without a
# time-stamping server one file and one certificate always give the same signed bytes.
set -euo pipefail
file=$1
[ -n "${QUAFF_SIGN_PFX:-}" ] || { echo "sign: QUAFF_SIGN_PFX names no certificate" >&2; exit 1; }
args=(-pkcs12 "$QUAFF_SIGN_PFX" -h sha256 -n Quaffometer)
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then args+=(-time "$SOURCE_DATE_EPOCH"); fi
if [ -n "${QUAFF_SIGN_TIMESTAMP:-}" ]; then args+=(-ts "$QUAFF_SIGN_TIMESTAMP"); fi
rm -f "$file.signed"
osslsigncode sign "${args[@]}" -readpass <(printf '%s' "${QUAFF_SIGN_PASSWORD:-}") \
  -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
