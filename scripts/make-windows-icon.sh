#!/usr/bin/env bash
# Renders src/win32/veltrana.ico, the Windows programs' icon, from the same
# artwork as the Linux icons (packaging/icons/veltrana.svg). Rerun it after
# changing the artwork; the .ico is kept in the repository so that building
# for Windows needs neither tool.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sizes=(16 24 32 48 64 256)
for size in "${sizes[@]}"; do
  rsvg-convert -w "$size" -h "$size" "$root/packaging/icons/veltrana.svg" -o "$work/$size.png"
done
(cd "$work" && convert $(printf '%s.png ' "${sizes[@]}") "$root/src/win32/veltrana.ico")
echo "Wrote $root/src/win32/veltrana.ico"
