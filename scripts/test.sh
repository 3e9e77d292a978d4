#!/usr/bin/env bash
# Builds every preset and runs every test: the portable core natively, again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then fuzzed for a
# while, then the release built twice to the same bytes, then the Windows
# side under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

cmake --preset native >/dev/null
cmake --build --preset native -j2
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j2
cmake --preset windows >/dev/null
cmake --build --preset windows -j2

ctest --preset native
ctest --preset native-asan
scripts/fuzz.sh 30
scripts/release-check.sh
# The window tests start the program that release-check.sh unpacked from the zip.
ULC_RELEASE_PROGRAM="Z:$PWD/build/repro-a/unpacked/UninstallListCleaner.exe" \
  scripts/wine-session.sh "$PWD/build/windows/wineprefix" ctest --preset windows
