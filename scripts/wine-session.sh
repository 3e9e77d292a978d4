#!/usr/bin/env bash
# Runs a command inside a Wine session: a private Xvfb display, a warm,
# persistent wineserver for the prefix at $1 and the desktop's shell running
# throughout. All are stopped afterwards.
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
# Wine starts the desktop's shell (explorer) with the first program of a
# session, alongside the service manager; a shell that comes up before the
# services never offers ShellWindows, through which an elevated program hands
# it an uninstaller. That shell ends a second or so after the warm-up; a new
# one starts here, with the services running. Wine would end that one too
# whenever no program runs and start it again with the next, which would
# find no shell for a moment and hold that program's output open: a console
# waiting for input keeps it running, as Explorer runs all along on Windows.
desktop_shell_runs() {
  local pid
  for pid in $(pgrep -f 'system32.explorer\.exe /desktop'); do
    grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && return 0
  done
  return 1
}
for _ in $(seq 300); do
  desktop_shell_runs || break
  sleep 0.1
done
wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
for _ in $(seq 300); do
  desktop_shell_runs && break
  sleep 0.1
done
exec {keeper}> >(exec wine cmd >/dev/null 2>&1)

"$@"
