#!/usr/bin/env bash
# Makes a delay-import library out of a mingw-w64 import library: the same
# functions of the same DLL, but the DLL loads at the first call to one of
# them instead of with the program.
# Usage: cmake/delay-import-lib.sh NM DLLTOOL IMPORT_LIBRARY OUTPUT
# The same import library gives the same library, byte for byte.
set -euo pipefail
nm=$1 dlltool=$2 library=$3 output=$4

dll=$("$dlltool" --identify "$library")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each member of an import library defines __imp_NAME, and NAME as well
# unless the export is data.
{
  echo "LIBRARY \"$dll\""
  echo "EXPORTS"
  "$nm" -g --defined-only "$library" | awk '
    $2 == "I" && $3 ~ /^__imp_/ { imported[substr($3, 7)] = 1 }
    $2 == "T" { code[$3] = 1 }
    END { for (name in imported) print name (name in code ? "" : " DATA") }' | LC_ALL=C sort
} >"$work/exports.def"

# dlltool names its temporary objects after the prefix, in the folder it runs
# in. The symbols that tie each DLL's calls to its name it names after the
# library's file name: libraries of one name would have one DLL's calls
# looked up in another.
name=$(basename "$output")
mkdir -p "$(dirname "$output")"
(cd "$work" && "$dlltool" --input-def exports.def --dllname "$dll" --temp-prefix "${name%.a}" \
  --deterministic-libraries --output-delaylib "$name")
mv "$work/$name" "$output"
