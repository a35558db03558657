#!/usr/bin/env bash
# Builds both Windows architectures with MinGW-w64 and writes
#   dist/veltrana-VERSION-windows-x86.zip  (32-bit, runs on any Windows 7+)
#   dist/veltrana-VERSION-windows-x64.zip  (64-bit)
# each holding veltrana.exe, veltrana-convert.exe, README.txt and LICENSE.txt
# (text with CR LF). It builds in build-win32/ and build-win64/, as
# scripts/run-windows-tests.sh does. The same sources give the same bytes:
# the programs carry no link time, and the zips list their files sorted,
# dated SOURCE_DATE_EPOCH (the last commit's time when unset), without the
# extra attributes zip would add. Prints the zips' paths.
set -euo pipefail
exec 3>&1 1>&2
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
version="$(sed -n 's/^project(Veltrana VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}"
mkdir -p dist
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for target in i686:x86 x86_64:x64; do
  arch=${target%%:*}
  name=${target##*:}
  build="$(scripts/configure-windows.sh "$arch")"
  cmake --build "$build" --parallel 2 --target veltrana veltrana-convert

  folder="veltrana-$version-windows-$name"
  stage="$work/$folder"
  mkdir -p "$stage"
  for program in veltrana veltrana-convert; do
    scripts/check-windows-imports.sh "$build/bin/$program.exe"
    cp "$build/bin/$program.exe" "$stage/"
  done
  sed 's/\r*$/\r/' docs/README-Windows.txt >"$stage/README.txt"
  sed 's/\r*$/\r/' LICENSE >"$stage/LICENSE.txt"
  find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  zip_path="$root/dist/$folder.zip"
  rm -f "$zip_path"
  (cd "$work" && find "$folder" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q "$zip_path" -@)
  echo "$zip_path" >&3
done
