#!/usr/bin/env bash
# Takes docs/window.png: the real window under Xvfb after converting the
# sample address book and exporting it with Export... (the Save dialog's
# suggestion, vCard 3.0). Rerun it after changing the window. With
# DIALOG_PNG set, the Save dialog is taken there too, while it is up.
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

xvfb-run -a -s "-screen 0 900x600x24 -dpi 96" bash -c '
  set -euo pipefail
  "$1/veltrana" &
  program=$!
  window=$(xdotool search --sync --onlyvisible --name "^Veltrana$" | head -n 1)
  sleep 1
  xdotool windowfocus --sync "$window"
  xdotool key alt+c   # Convert
  sleep 2
  xdotool key alt+e   # Export...
  dialog=$(xdotool search --sync --onlyvisible --name "^Export Address Book$" | head -n 1)
  sleep 1
  if [[ -n $3 ]]; then /usr/bin/import -window root "$3"; fi
  xdotool windowfocus --sync "$dialog"
  xdotool key Return  # Save, as suggested
  sleep 2
  /usr/bin/import -window "$window" "$2"
  kill "$program"
' screenshot "$work" "$root/docs/window.png" "${DIALOG_PNG:-}"
echo "Wrote $root/docs/window.png"
