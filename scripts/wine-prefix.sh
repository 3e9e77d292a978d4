#!/usr/bin/env bash
# Makes a fresh Wine prefix at $1 unless one is there already.
# The prefix is quiet, offline and fit for windows under Xvfb.
set -euo pipefail
prefix=$1
[ -f "$prefix/.ready" ] && exit 0

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.ready" ] && exit 0

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 </dev/null
# Without a window manager every window close would otherwise wait 2 s.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
# Wine's own fonts in the prefix make captions draw as on Windows.
mkdir -p "$prefix/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
wineserver -w
touch "$prefix/.ready"
