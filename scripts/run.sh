#!/usr/bin/env bash
# Builds the program and starts it under Wine, in the prefix named by
# WINEPREFIX or else in Wine's default one, and waits until it is closed.
# Where there is no display (or with --headless) it starts on a private Xvfb
# inside Wine's virtual desktop instead, saves a picture of the screen once
# the window is up, and stops the program and the Xvfb again. With --prepare,
# the Windows program PREPARE runs on the window's desktop first and sets the
# scene for the picture.
# Usage: scripts/run.sh [--headless] [--screenshot FILE] [--prepare PREPARE]
# ULC_BUILD_DIR names another build folder than the windows preset's.
set -euo pipefail
cd "$(dirname "$0")/.."

headless=
[ -n "${DISPLAY:-}" ] || headless=1
shot=build/screenshot.png
prepare=
while [ $# -gt 0 ]; do
  case $1 in
    --headless) headless=1 ;;
    --screenshot) shot=$2; shift ;;
    --prepare) prepare=$2; shift ;;
    *) echo "usage: $0 [--headless] [--screenshot FILE] [--prepare PREPARE]" >&2; exit 2 ;;
  esac
  shift
done

if [ -n "$headless" ]; then
  scripts/deps.sh --run xvfb x11-utils imagemagick
else
  scripts/deps.sh --run
fi

build=${ULC_BUILD_DIR:-build/windows}
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target UninstallListCleaner
exe=$PWD/$build/bin/UninstallListCleaner.exe

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -z "$headless" ]; then
  exec wine "$exe"
fi

# The virtual desktop fills the screen, so the screen shows nothing but it.
size=1024x768
program=
prepared=
work=$(mktemp -d)
# Xvfb picks a free display itself and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
stop() {
  [ -z "$prepared" ] || kill -KILL -- "-$prepared" 2>/dev/null || true
  if [ -n "$program" ]; then
    kill -TERM -- "-$program" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 -- "-$program" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -- "-$program" 2>/dev/null || true
  fi
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap stop EXIT
display=
for _ in $(seq 100); do
  display=$(cat "$work/display")
  [ -n "$display" ] && break
  sleep 0.1
done
if [ -z "$display" ]; then
  echo "Xvfb did not start." >&2
  exit 1
fi
export DISPLAY=":$display"

# Without a window manager only the virtual desktop draws a title bar, and
# it leaves the prefix's settings as they are. The program runs in a process
# group of its own, so that stopping it stops the desktop too.
winexe=$(winepath -w "$exe" 2>/dev/null)
setsid wine explorer "/desktop=UninstallListCleaner,$size" "$winexe" >/dev/null 2>&1 </dev/null &
program=$!

# Wine names each window's X window after its program.
window_is_up() {
  xwininfo -root -tree 2>/dev/null | grep -i '("uninstalllistcleaner.exe"' | grep -vq ' 1x1+'
}
up=
for _ in $(seq 600); do
  window_is_up && { up=1; break; }
  kill -0 -- "-$program" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$up" ]; then
  echo "The window did not come up." >&2
  exit 1
fi

# A second explorer with the same desktop name starts PREPARE on that desktop,
# where it can see the window. It runs on while the picture is taken; the tip
# it brings up shows after half a second.
if [ -n "$prepare" ]; then
  setsid wine explorer "/desktop=UninstallListCleaner,$size" "$(winepath -w "$prepare" 2>/dev/null)" >/dev/null 2>&1 </dev/null &
  prepared=$!
  sleep 5
fi

# Mapped is not yet painted: wait until two pictures in a row agree.
import -window root "ppm:$work/screen" 2>/dev/null
for _ in $(seq 20); do
  sleep 0.5
  import -window root "ppm:$work/next" 2>/dev/null
  cmp -s "$work/screen" "$work/next" && break
  mv "$work/next" "$work/screen"
done
mkdir -p "$(dirname "$shot")"
convert "ppm:$work/screen" -define png:exclude-chunks=date,time "$shot"
echo "The window is up; a picture of the screen is in $shot"
