#!/usr/bin/env bash
# Makes docs/screenshot.png for the README: the window over the demo entries,
# framed by Wine's virtual desktop on a private Xvfb, cut down to the window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/demo.sh --headless --screenshot build/screenshot-screen.png
# The desktop around the window is one flat colour; trimming it away leaves
# the window with its frame.
convert build/screenshot-screen.png -trim +repage -define png:exclude-chunks=date,time docs/screenshot.png
echo "Wrote docs/screenshot.png"
