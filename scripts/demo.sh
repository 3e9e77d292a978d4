#!/usr/bin/env bash
# Starts the program on a demo prefix, build/demo-prefix, whose list of
# installed programs is seeded afresh on every start: some entries still
# installed, some stale, some run through the Windows Installer or rundll32.
# Usage: scripts/demo.sh [run.sh option ...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --run

export WINEPREFIX=$PWD/build/demo-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
scripts/wine-prefix.sh "$WINEPREFIX"

# An uninstaller that starts shows Wine's notepad; the others are empty files.
drive_c=$WINEPREFIX/drive_c
while read -r kind path; do
  case $kind in ''|'#'*) continue ;; esac
  file=$drive_c/${path#C:\\}
  file=${file//\\//}
  mkdir -p "$(dirname "$file")"
  case $kind in
    live) cp "$drive_c/windows/system32/notepad.exe" "$file" ;;
    *) : >"$file" ;;
  esac
done <scripts/demo-entries.files

# regedit reads Unicode .reg files as UTF-16 with a byte-order mark. The file
# empties the Uninstall key first, so the seeding can be repeated.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE scripts/demo-entries.reg; } >"$drive_c/windows/temp/demo-entries.reg"
wine regedit /S 'C:\windows\temp\demo-entries.reg' </dev/null >/dev/null 2>&1
rm -f "$drive_c/windows/temp/demo-entries.reg"

exec scripts/run.sh "$@"
