#!/usr/bin/env bash
# Makes docs/screenshot.png for the README: the window over the demo entries,
# framed by Wine's virtual desktop on a private Xvfb, cut down to the window,
# after a Detect pass with the pointer resting on a ticked row and its tip up.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh --run xvfb x11-utils imagemagick
mkdir -p build
x86_64-w64-mingw32-g++ -std=c++20 -O2 -static -o build/point-at-tip.exe scripts/point-at-tip.cpp
scripts/demo.sh --headless --screenshot build/screenshot-screen.png --prepare build/point-at-tip.exe
# The desktop around the window is one flat colour; trimming it away leaves
# the window with its frame.
convert build/screenshot-screen.png -trim +repage -define png:exclude-chunks=date,time docs/screenshot.png
echo "Wrote docs/screenshot.png"
