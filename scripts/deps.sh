#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Usage: scripts/deps.sh [--run | --dist] [extra-package ...]
# With --run only what building and starting the program needs, not the tests;
# with --dist only what building the release needs.
set -euo pipefail

if [ "${1:-}" = --run ]; then
  shift
  # googletest all the same: configuring the windows preset adds its sources.
  packages=(cmake make googletest g++-mingw-w64-x86-64 wine wine64 fonts-wine fonts-liberation "$@")
elif [ "${1:-}" = --dist ]; then
  shift
  packages=(cmake make g++-mingw-w64-x86-64 zip git "$@")
else
  packages=(cmake make g++ googletest libgtest-dev g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb fonts-liberation
            clang libclang-rt-14-dev zip unzip git procps wixl "$@")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root, then try again:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
