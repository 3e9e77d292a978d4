#!/usr/bin/env bash
# Runs a command inside a Wine session: a private Xvfb display and a warm,
# persistent wineserver for the prefix at $1. Both are stopped afterwards.
# Usage: scripts/wine-session.sh PREFIX COMMAND [ARG ...]
set -euo pipefail
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$here/wine-prefix.sh" "$prefix"

display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
export DISPLAY=":$display"

# A persistent server, warmed once, makes each later Wine start cheap. The
# warm-up must not share our output: Wine's services would hold it open.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
# Wine ends the desktop's shell (explorer) a few seconds after the last
# program of a session ends and starts it anew with the next one, which
# would find no shell to hand an uninstaller to in the meantime. A console
# waiting for input keeps it running, as Windows' Explorer runs all along.
exec {keeper}> >(wine cmd >/dev/null 2>&1)

"$@"
