#!/usr/bin/env bash
# The program's image as Windows' loader reads it, through objdump rather
# than the build step that wrote it: it imports kernel32 and the C runtime
# alone, and its load configuration carries DependentLoadFlags 0x800
# (LOAD_LIBRARY_SEARCH_SYSTEM32), within the structure's own size.
# Usage: program-image-test.sh OBJDUMP PROGRAM.exe
set -euo pipefail
objdump=$1 program=$2
# make test has the window tests start the release's program, and names it,
# as Wine sees it on drive Z:, in ULC_RELEASE_PROGRAM: that one is checked.
if [ -n "${ULC_RELEASE_PROGRAM:-}" ]; then program=${ULC_RELEASE_PROGRAM#Z:}; fi
fail() { echo "$program: $*" >&2; exit 1; }

headers=$("$objdump" -p "$program")
imports=$(awk '/DLL Name:/ { print $3 }' <<<"$headers" | sort | tr '\n' ' ')
[ "$imports" = "KERNEL32.dll msvcrt.dll " ] || fail "imports $imports, not KERNEL32.dll and msvcrt.dll alone"

base=$(awk '$1 == "ImageBase" { print $2 }' <<<"$headers")
read -r rva size < <(awk '$1 == "Entry" && $2 == "a" { print $3, $4 }' <<<"$headers")
((16#$rva != 0)) || fail "no load configuration directory"
# Its first 0x50 bytes, up to and with DependentLoadFlags, as hex digits.
start=$((16#$base + 16#$rva))
hex=$("$objdump" -s --start-address=$start --stop-address=$((start + 0x50)) "$program" |
  awk '/^ [0-9a-f]+ / { printf "%s%s%s%s", $2, $3, $4, $5 }')
# The little-endian number of $2 bytes at offset $1.
number() {
  local value=
  for ((byte = $1 + $2 - 1; byte >= $1; byte--)); do value+=${hex:byte * 2:2}; done
  echo $((16#$value))
}
structure_size=$(number 0 4)
((structure_size >= 0x50)) || fail "a load configuration of $structure_size bytes holds no DependentLoadFlags"
((16#$size == structure_size)) || fail "the directory gives $((16#$size)) bytes, the structure $structure_size"
flags=$(number 0x4e 2)
((flags == 0x800)) || fail "DependentLoadFlags $(printf '0x%x' "$flags"), not 0x800"
echo "$program: imports $imports; DependentLoadFlags $(printf '0x%x' "$flags")"
