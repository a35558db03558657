#!/usr/bin/env bash
# Takes docs/window.png: the real window under Xvfb after converting the
# sample address book. Rerun it after changing the window.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" screenshot
"$root/scripts/build.sh" >/dev/null

# A copy of the program in a folder of its own, so its settings file (kept
# beside the program) names the sample and nothing of yours is touched.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/build/bin/veltrana" "$root/examples/nndbase.txt" "$work/"
printf 'AddressBook=nndbase.txt\r\n' >"$work/veltra.ini"
mkdir -p "$root/docs"

xvfb-run -a -s "-screen 0 800x300x24 -dpi 96" bash -c '
  set -euo pipefail
  "$1/veltrana" &
  program=$!
  window=$(xdotool search --sync --onlyvisible --name "^Veltrana$" | head -n 1)
  sleep 1
  xdotool windowfocus --sync "$window"
  xdotool key alt+c   # Convert
  sleep 2
  /usr/bin/import -window "$window" "$2"
  kill "$program"
' screenshot "$work" "$root/docs/window.png"
echo "Wrote $root/docs/window.png"
