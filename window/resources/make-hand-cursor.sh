#!/usr/bin/env bash
# Writes Hand.cur, the pointer over the window's buttons: a 32 x 32
# monochrome cursor of a hand pointing up, with its hot spot on the tip of the
# index finger.
# Usage: window/resources/make-hand-cursor.sh [OUTPUT]
set -euo pipefail
out=${1:-"$(dirname "$0")/Hand.cur"}

# X black, o white, . transparent; rows shorter than 32 are transparent after.
hand=(
  "......XX"
  ".....XooX"
  ".....XooX"
  ".....XooX"
  ".....XooX"
  ".....XooXXX"
  ".....XooXooXXX"
  ".....XooXooXooXX"
  ".XX..XooXooXooXoX"
  "XooX.XooooooooooX"
  "XoooXXooooooooooX"
  ".XoooXooooooooooX"
  "..XoooooooooooooX"
  "...XooooooooooooX"
  "....XoooooooooooX"
  ".....XooooooooooX"
  ".....XooooooooooX"
  ".....XooooooooooX"
  ".....XXXXXXXXXXXX"
)
hotX=6
hotY=0
size=32

u8() { printf "\\$(printf '%03o' "$1")"; }
u16() { u8 $(($1 & 255)); u8 $((($1 >> 8) & 255)); }
u32() { u16 $(($1 & 65535)); u16 $((($1 >> 16) & 65535)); }
# A row of 32 one-bit pixels, leftmost pixel in the top bit of the first byte.
bits() { u8 $((($1 >> 24) & 255)); u8 $((($1 >> 16) & 255)); u8 $((($1 >> 8) & 255)); u8 $(($1 & 255)); }

# Per pixel the AND mask keeps the screen (1) or not (0), then XOR flips it:
# black is 0/0, white 0/1, transparent 1/0.
xorRows=() andRows=()
for ((y = 0; y < size; y++)); do
  row=${hand[y]:-}
  xor=0 and=0
  for ((x = 0; x < size; x++)); do
    bit=$((1 << (31 - x)))
    case "${row:x:1}" in
      X) ;;
      o) xor=$((xor | bit)) ;;
      *) and=$((and | bit)) ;;
    esac
  done
  xorRows+=("$xor") andRows+=("$and")
done

maskBytes=$((size * size / 8))
imageBytes=$((40 + 8 + 2 * maskBytes))
{
  # ICONDIR: reserved, type 2 (cursor), one image
  u16 0; u16 2; u16 1
  # ICONDIRENTRY of a cursor: the hot spot takes the place of planes and bits
  u8 $size; u8 $size; u8 2; u8 0; u16 $hotX; u16 $hotY; u32 $imageBytes; u32 22
  # BITMAPINFOHEADER: the height counts the XOR rows and the AND rows
  u32 40; u32 $size; u32 $((size * 2)); u16 1; u16 1; u32 0; u32 $((2 * maskBytes))
  u32 0; u32 0; u32 2; u32 0
  # Colour table: black, white
  u32 0; u32 $((0xFFFFFF))
  # Bitmaps run bottom-up.
  for ((y = size - 1; y >= 0; y--)); do bits "${xorRows[y]}"; done
  for ((y = size - 1; y >= 0; y--)); do bits "${andRows[y]}"; done
} >"$out"
