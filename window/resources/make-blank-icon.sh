#!/usr/bin/env bash
# Writes Form1.ico: one 32 x 32 image, 32 bits per pixel, every pixel fully
# transparent (alpha 0, and set in the AND mask for systems without alpha).
# Usage: window/resources/make-blank-icon.sh [OUTPUT]
set -euo pipefail
out=${1:-"$(dirname "$0")/Form1.ico"}

# Little-endian integers as raw bytes.
u8() { printf "\\$(printf '%03o' "$1")"; }
u16() { u8 $(($1 & 255)); u8 $((($1 >> 8) & 255)); }
u32() { u16 $(($1 & 65535)); u16 $((($1 >> 16) & 65535)); }
repeat() { local i; for ((i = 0; i < $2; i++)); do u8 "$1"; done; }

size=32
pixelBytes=$((size * size * 4))
maskBytes=$((size * size / 8))   # rows of 32 bits need no padding
imageBytes=$((40 + pixelBytes + maskBytes))

{
  # ICONDIR: reserved, type 1 (icon), one image
  u16 0; u16 1; u16 1
  # ICONDIRENTRY: width, height, palette size, reserved, planes, bits, size, offset
  u8 $size; u8 $size; u8 0; u8 0; u16 1; u16 32; u32 $imageBytes; u32 22
  # BITMAPINFOHEADER: the height counts the colour rows and the mask rows
  u32 40; u32 $size; u32 $((size * 2)); u16 1; u16 32; u32 0; u32 $((pixelBytes + maskBytes))
  u32 0; u32 0; u32 0; u32 0
  repeat 0 $pixelBytes
  repeat 255 $maskBytes
} >"$out"
