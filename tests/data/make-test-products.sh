#!/usr/bin/env bash
# Gives the test prefix what the tests of detection look for on a real
# machine: Windows Installer product A (64-bit) installed; product B (32-bit)
# uninstalled with its Uninstall entry left behind (exported, uninstalled,
# imported again), as a failed or partial uninstall leaves it; and a folder
# link whose target is gone, as an unplugged volume leaves it. Each run
# starts again from nothing.
# Usage: make-test-products.sh WINE-RUN PREFIX PACKAGE-A PACKAGE-B
set -euo pipefail
wine=$1 prefix=$2
windows() { local path=${1//\//\\}; echo "Z:$path"; }
a=$(windows "$3") b=$(windows "$4") saved=$(windows "$prefix.orphan.reg")
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\{E1D0A5A1-4C3B-4F7E-9B1A-0C5D6E7F8B01}'

"$wine" msiexec /x "$a" /qn || true
"$wine" reg delete "$entry" /reg:32 /f >/dev/null 2>&1 || true
"$wine" msiexec /i "$a" /qn
"$wine" msiexec /i "$b" /qn
"$wine" reg export "$entry" "$saved" /reg:32 /y >/dev/null
"$wine" msiexec /x "$b" /qn
"$wine" reg import "$saved" /reg:32 >/dev/null 2>&1
ln -sfn /nonexistent/ulc-unplugged-volume "$prefix/drive_c/ulc-dead-link"
