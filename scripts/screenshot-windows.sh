#!/usr/bin/env bash
# Takes docs/window-win32.png: the Win32 window, run by Wine under Xvfb,
# after converting the sample address book and exporting it with Export...
# (the Save dialog's suggestion, vCard 3.0). With DIALOG_PNG set, the Save
# dialog is taken there too, while it is up. Needs the 64-bit Windows build
# (scripts/run-windows-tests.sh or scripts/make-windows-zips.sh makes it).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" screenshot
program="$root/build-win64/bin/veltrana.exe"
[[ -f $program ]] || { echo "no $program: build it first" >&2; exit 1; }

# A copy of the program in a folder of its own, so that its settings file
# names the sample and nothing of yours is touched.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$program" "$root/examples/nndbase.txt" "$work/"
printf 'AddressBook=nndbase.txt\r\n' >"$work/veltra.ini"
export WINEPREFIX="$root/build-win64/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then wineboot -i </dev/null >/dev/null 2>&1; fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true

xvfb-run -a -s "-screen 0 900x600x24 -dpi 96" bash -c '
  set -euo pipefail
  cd "$1"
  wine veltrana.exe </dev/null >/dev/null 2>&1 &
  window=$(xdotool search --sync --onlyvisible --name "^Veltrana$" | head -n 1)
  sleep 2
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key alt+c   # Convert
  sleep 2
  xdotool key alt+e   # Export...
  dialog=$(xdotool search --sync --onlyvisible --name "^Export Address Book$" | head -n 1)
  sleep 2
  if [[ -n $3 ]]; then /usr/bin/import -window root "$3"; fi
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  xdotool key Return  # Save, as suggested
  sleep 2
  /usr/bin/import -window "$window" "$2"
  wineserver -k
' screenshot "$work" "$root/docs/window-win32.png" "${DIALOG_PNG:-}"
echo "Wrote $root/docs/window-win32.png"
