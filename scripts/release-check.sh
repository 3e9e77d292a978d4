#!/usr/bin/env bash
# Builds the release twice and demands the same bytes: once from this checkout
# into build/repro-a, once from a copy of it in another folder into
# build/repro-b, later, in another time zone and under another umask. When
# they differ it says where. Then checks that the zip holds exactly the
# program, README.txt and LICENSE, and unpacks it into build/repro-a/unpacked,
# where the Wine tests start the program (tests/window/ReleaseTest.cpp).
set -euo pipefail
cd "$(dirname "$0")/.."

# The copy has no git history to date the zip's entries by.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
a=$PWD/build/repro-a
b=$PWD/build/repro-b
rm -rf "$a" "$b"
mkdir -p "$a" "$b/src"
tar --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$b/src"

build() {
  local log=$1; shift
  "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }
}
build "$a/dist.log" scripts/dist.sh "$a/build" "$a/dist"
build "$b/dist.log" bash -c "cd '$b/src' && umask 077 && TZ=ULC-13:45 scripts/dist.sh '$b/build' '$b/dist'"

# The part of a PE file that holds file offset $2.
pe_part() {
  local name size start first=
  while read -r _ name size _ _ start _; do
    # Sections without contents in the file (.bss) start at 0.
    (( 16#$start > 0 )) || continue
    first=${first:-$start}
    if (( $2 >= 16#$start && $2 < 16#$start + 16#$size )); then
      echo "section $name"
      return
    fi
  done < <(x86_64-w64-mingw32-objdump -h "$1" | grep -E '^ +[0-9]+ ')
  if (( $2 < 16#$first )); then echo "the headers (link time stamp, checksum ...)"; else echo "no section"; fi
}

# How two builds of one file differ.
explain() {
  local one=$1 two=$2
  case $one in
    *.exe | *.zip)
      echo "$(cmp -l "$one" "$two" | wc -l) bytes differ (sizes $(stat -c %s "$one") and $(stat -c %s "$two")); the first, as offset: a b (octal):"
      cmp -l "$one" "$two" | head -n 8 | awk '{ printf "  0x%x: %s %s\n", $1 - 1, $2, $3 }' || true
      ;;&
    *.exe)
      local offset
      offset=$(cmp -l "$one" "$two" | awk '{ print $1 - 1; exit }' || true)
      [ -n "$offset" ] && echo "  the first lies in $(pe_part "$one" "$offset")"
      ;;
    *.zip)
      diff <(zipinfo -v "$one" | tail -n +2) <(zipinfo -v "$two" | tail -n +2) | head -n 30 || true
      ;;
    *)
      diff -u "$one" "$two" | head -n 30 || true
      ;;
  esac
}

if ! diff -rq "$a/dist" "$b/dist" >"$a/compare.txt"; then
  echo "Two builds of the same sources differ: the release is not reproducible." >&2
  cat "$a/compare.txt" >&2
  while read -r _ one _ two _; do
    echo "== ${one#"$a/dist/"}"
    explain "$one" "$two"
  done < <(grep '^Files ' "$a/compare.txt") >&2
  exit 1
fi

zip=$(echo "$a"/dist/UninstallListCleaner-*-win-x64.zip)
listing=$(zipinfo -1 "$zip")
if [ "$listing" != $'UninstallListCleaner.exe\nREADME.txt\nLICENSE' ]; then
  echo "The zip should hold UninstallListCleaner.exe, README.txt and LICENSE, and holds:" >&2
  echo "$listing" >&2
  exit 1
fi
if grep -rn '@[A-Z0-9_]*@' "$a/dist/winget" "$a/dist/scoop"; then
  echo "A manifest still holds a placeholder." >&2
  exit 1
fi
unzip -q "$zip" -d "$a/unpacked"
# As a user checks the program from the zip against the release's list.
(cd "$a/unpacked" && sha256sum --quiet --ignore-missing -c "$a/dist/SHA256SUMS")

echo "Release reproducible: two builds in two folders agree:"
cat "$a/dist/SHA256SUMS"
