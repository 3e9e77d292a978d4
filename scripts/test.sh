#!/usr/bin/env bash
# Builds both presets and runs every test: the portable core natively, then the
# Windows side under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

cmake --preset native >/dev/null
cmake --build --preset native -j2
cmake --preset windows >/dev/null
cmake --build --preset windows -j2

ctest --preset native
scripts/wine-session.sh "$PWD/build/windows/wineprefix" ctest --preset windows
