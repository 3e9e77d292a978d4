#!/usr/bin/env bash
# Builds the release: the program, a zip of it with README.txt and LICENSE,
# SHA256SUMS for the zip and the program, and the winget and Scoop manifests
# filled in with the version and the zip's hash. The same commit gives the
# same bytes in any folder at any time.
# Usage: scripts/dist.sh [BUILD_DIR [OUT_DIR]]   (build/release, build/dist)
# The zip's entries carry the time of the commit, or SOURCE_DATE_EPOCH if set.
set -euo pipefail

# The project's home; a release's files are downloaded from its releases.
# OWNER is a placeholder: put the real home here before publishing.
PROJECT_URL=https://github.com/OWNER/uninstall-list-cleaner

cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build/release}")
out=$(realpath -m "${2:-build/dist}")
scripts/deps.sh --dist

epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
if [ -z "$epoch" ]; then
  echo "Not a git checkout: set SOURCE_DATE_EPOCH to the time of the release's commit." >&2
  exit 1
fi
# The compiler and the linker would take their dates from SOURCE_DATE_EPOCH;
# without it the program must hold no date at all.
unset SOURCE_DATE_EPOCH
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" -j2 --target UninstallListCleaner
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

zip=UninstallListCleaner-$version-win-x64.zip
zip_url=$PROJECT_URL/releases/download/v$version/$zip
fill() {
  sed -e "s|@VERSION@|$version|g" -e "s|@PROJECT_URL@|$PROJECT_URL|g" \
      -e "s|@ZIP_URL@|$zip_url|g" -e "s|@ZIP_SHA256@|${zip_sha256:-}|g" "$1"
}

stage=$build/stage
rm -rf "$stage" "$out"
mkdir -p "$stage" "$out"
cp "$build/bin/UninstallListCleaner.exe" "$stage/"
# Windows users read these in Notepad: CRLF line ends, whatever the checkout has.
fill packaging/README.txt.in | sed 's/\r*$/\r/' >"$stage/README.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/LICENSE"
# zip stores each file's time, in local time, and its Unix mode: one fixed
# time and mode for all, read in UTC. -X leaves out owners and extra times.
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*
(cd "$stage" && TZ=UTC zip -X -D -9 -q "$out/$zip" UninstallListCleaner.exe README.txt LICENSE)
cp "$stage/UninstallListCleaner.exe" "$out/"
(cd "$out" && sha256sum "$zip" UninstallListCleaner.exe >SHA256SUMS)

zip_sha256=$(sha256sum "$out/$zip" | cut -d ' ' -f 1)
# The folder layout of the winget package repository.
winget=$out/winget/manifests/u/UninstallListCleaner/UninstallListCleaner/$version
mkdir -p "$winget" "$out/scoop"
for template in packaging/winget/*.yaml.in; do
  fill "$template" >"$winget/$(basename "$template" .in)"
done
fill packaging/scoop/uninstall-list-cleaner.json.in >"$out/scoop/uninstall-list-cleaner.json"

echo "Release $version in $out:"
cat "$out/SHA256SUMS"
case $PROJECT_URL in
  */OWNER/*) echo "The manifests download from the placeholder $PROJECT_URL: set PROJECT_URL in scripts/dist.sh." ;;
esac
