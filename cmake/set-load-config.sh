#!/usr/bin/env bash
# Points a linked 64-bit Windows program's load-configuration directory at its
# `_load_config_used` object, and brings the header's checksum up to date.
# GNU ld 2.40 links that object into the image but leaves the directory empty,
# so Windows would never read it. The linker's map file says where it lies.
# Usage: cmake/set-load-config.sh PROGRAM.exe PROGRAM.map
# The same program and map give the same bytes: a build step of the release.
set -euo pipefail
exe=$1 map=$2

# Unsigned little-endian numbers of $2 bytes at file offset $1.
u16() { od -An -tu2 -j "$1" -N 2 "$exe" | tr -d ' '; }
u32() { od -An -tu4 -j "$1" -N 4 "$exe" | tr -d ' '; }
u64() { od -An -tu8 -j "$1" -N 8 "$exe" | tr -d ' '; }
# Writes the 32-bit number $2 at file offset $1.
put32() {
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($2 & 255)) $(($2 >> 8 & 255)) $(($2 >> 16 & 255)) $(($2 >> 24 & 255)))" |
    dd of="$exe" bs=1 seek="$1" conv=notrunc status=none
}
fail() { echo "$exe: $*" >&2; exit 1; }

pe=$(u32 60)
[ "$(u32 "$pe")" = 17744 ] || fail "not a PE image"             # "PE\0\0"
optional=$((pe + 24))
[ "$(u16 "$optional")" = 523 ] || fail "not a 64-bit image"      # PE32+
sections=$(u16 $((pe + 6)))
section_table=$((optional + $(u16 $((pe + 20)))))
image_base=$(u64 $((optional + 24)))
checksum_at=$((optional + 64))
directory_at=$((optional + 112 + 10 * 8))  # entry 10: load configuration

address=$(awk '$2 == "_load_config_used" && $1 ~ /^0x/ { print $1; exit }' "$map")
[ -n "$address" ] || fail "the map $map has no _load_config_used"
rva=$((address - image_base))

# The file offset of `rva`, from the section that holds it.
offset=
for ((i = 0; i < sections; i++)); do
  entry=$((section_table + 40 * i))
  start=$(u32 $((entry + 12))) raw_size=$(u32 $((entry + 16))) raw_at=$(u32 $((entry + 20)))
  if ((rva >= start && rva < start + raw_size)); then
    offset=$((raw_at + rva - start))
    break
  fi
done
[ -n "$offset" ] || fail "_load_config_used lies in no section with contents"

# The structure starts with its own size; the directory gives the same.
put32 "$directory_at" "$rva"
put32 $((directory_at + 4)) "$(u32 "$offset")"

# The checksum Windows' CheckSumMappedFile computes: the file's 16-bit words,
# less the checksum field, added with the carries folded back in, plus the
# file's length.
size=$(stat -c %s "$exe")
checksum=$(od -An -v -tu2 "$exe" | awk -v skip=$((checksum_at / 2)) -v size="$size" '
  { for (i = 1; i <= NF; i++) {
      if (n != skip && n != skip + 1) { sum += $i; if (sum >= 65536) sum = sum % 65536 + int(sum / 65536) }
      n++
  } }
  END { printf "%d", sum + size }')
put32 "$checksum_at" "$checksum"
