#!/usr/bin/env bash
# make reproduce: makes the release package of the checked-out commit here (tools/package.sh,
# in build/package), then again from a clean clone in a scratch folder, with a build tree and
# Windows dependencies of its own, and compares the two file by file. Prints each file as
# identical or, for a difference, the first differing offset, what lies there and the bytes
# of both. Exits non-zero when any file differs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}"
scratch="$build/reproduce"

if [ -n "$(git -C "$root" status --porcelain)" ]; then
  echo "reproduce: the tree has changes that are not committed; make reproduce builds the commit" >&2
  exit 1
fi
commit=$(git -C "$root" rev-parse HEAD)

echo "reproduce: building $commit here"
QUAFF_BUILD="$build" "$root/tools/package.sh" >/dev/null
first="$build/package"
echo "reproduce: building it again in $scratch/src"
rm -rf "$scratch"
git clone -q --no-checkout "$root" "$scratch/src"
git -C "$scratch/src" checkout -q "$commit"
QUAFF_BUILD="$scratch/build" "$scratch/src/tools/package.sh" >"$scratch/package.log" 2>&1 ||
  { tail -n 20 "$scratch/package.log"; echo "reproduce: the second build failed" >&2; exit 1; }
second="$scratch/build/package"

le() { od -An -t "u$2" -j "$1" -N "$2" "$3" | tr -d ' '; }  # le <offset> <bytes> <file>

# What lies at an offset: a field of a PE file's headers, its section, its signature or the
# data after its sections; the entry of a zip; otherwise the line of a text.
describe() {  # describe <file> <offset>
  local file=$1 at=$2
  case "$(head -c 2 "$file")" in
    MZ) describe_pe "$file" "$at" ;;
    PK) describe_zip "$file" "$at" ;;
    *) echo "line $(head -c "$at" "$file" | wc -l | awk '{print $1 + 1}') of the text" ;;
  esac
}
describe_pe() {
  local file=$1 at=$2 pe opt end=0 idx name size vma lma off rest
  pe=$(le 60 4 "$file"); opt=$((pe + 24))
  if [ "$at" -lt "$(le $((opt + 60)) 4 "$file")" ]; then  # SizeOfHeaders
    case $((at < pe ? -1 : at - pe)) in
      -1) echo "the DOS header and stub" ;;
      8|9|10|11) echo "the PE header's time stamp (TimeDateStamp)" ;;
      88|89|90|91) echo "the PE header's checksum" ;;
      168|169|170|171|172|173|174|175) echo "the PE header's pointer to the signature" ;;
      *) echo "the PE headers (offset $((at - pe)) from the PE signature)" ;;
    esac
    return
  fi
  local certs; certs=$(le $((opt + 144)) 4 "$file")
  if [ "$certs" -gt 0 ] && [ "$at" -ge "$certs" ]; then echo "the Authenticode signature"; return; fi
  while read -r idx name size vma lma off rest; do
    [[ $idx =~ ^[0-9]+$ ]] && [ $((16#$off)) -gt 0 ] || continue  # not .bss, which the file lacks
    if [ "$at" -ge $((16#$off)) ] && [ "$at" -lt $((16#$off + 16#$size)) ]; then echo "section $name"; return; fi
    [ $((16#$off + 16#$size)) -le "$end" ] || end=$((16#$off + 16#$size))
  done < <(x86_64-w64-mingw32-objdump -h "$file")
  if [ "$at" -ge "$end" ]; then echo "data after the sections (an installer's packed files)"
  else echo "padding between sections"; fi
}
describe_zip() {
  local file=$1 at=$2 info cd
  info=$(zipinfo -v "$file")
  cd=$(awk '/offset in bytes from the beginning of the zipfile/ {getline; print $2}' <<<"$info")
  if [ -n "$cd" ] && [ "$at" -ge "$cd" ]; then echo "the zip's central directory"; return; fi
  awk -v at="$at" '
    /^Central directory entry/ { want = 1; next }
    want && /^  [^ ]/ { name = $0; sub(/^ +/, "", name); want = 0 }
    /offset of local header from start of archive:/ { if ($NF + 0 <= at) last = name }
    END { print "the zip entry " last " (its header, date or data)" }' <<<"$info"
}

differ=0
while read -r rel; do
  a="$first/$rel" b="$second/$rel"
  if [ ! -f "$b" ]; then echo "$rel: only in the first build"; differ=1; continue; fi
  if cmp -s "$a" "$b"; then echo "$rel: identical ($(stat -c %s "$a") bytes)"; continue; fi
  differ=1
  # cmp counts bytes from 1; when one file is the start of the other it names the last byte
  # they share, and the difference is the byte after it.
  out=$(cmp "$a" "$b" 2>&1 || true)
  at=$(sed -nE 's/.* differ: byte ([0-9]+),.*/\1/p; s/.*EOF on .* after byte ([0-9]+).*/\1/p' <<<"$out")
  [[ $out == *EOF* ]] || at=$((at - 1))
  echo "$rel: differs from offset $at (0x$(printf %x "$at")), $(describe "$a" "$at")"
  echo "  first:  $(od -An -t x1 -j "$at" -N 16 "$a")"
  echo "  second: $(od -An -t x1 -j "$at" -N 16 "$b")"
done < <(cd "$first" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
while read -r rel; do
  [ -f "$first/$rel" ] || { echo "$rel: only in the second build"; differ=1; }
done < <(cd "$second" && find . -type f | sed 's|^\./||')

if [ "$differ" = 0 ]; then
  echo "reproduce: the two builds are identical"
  rm -rf "$scratch"
else
  echo "reproduce: the two builds differ (the second is kept in $scratch)"
  exit 1
fi
