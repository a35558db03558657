#!/usr/bin/env bash
# Cross-builds Veltrana for Windows with MinGW-w64 and runs its tests under
# Wine: the core, page, settings, contacts and command-line suites and the
# Win32 window driven through its real controls (on an Xvfb display). The
# 32-bit build, the programs' first target, is compiled too; these machines
# cannot run 32-bit code, so its tests do not run.
#
#   scripts/run-windows-tests.sh   (after scripts/install-deps.sh)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

echo "-- 32-bit (i686): the programs"
build32="$(scripts/configure-windows.sh i686)"
cmake --build "$build32" --parallel 2 --target veltrana veltrana-convert

echo "-- 64-bit (x86_64): the programs and every test"
build64="$(scripts/configure-windows.sh x86_64)"
cmake --build "$build64" --parallel 2

for build in "$build32" "$build64"; do
  for program in veltrana veltrana-convert; do
    scripts/check-windows-imports.sh "$build/bin/$program.exe"
  done
done

# A Wine prefix of the tests' own. Without a window manager Wine would wait
# in DestroyWindow: its windows manage themselves (Managed=N). Wine's server
# and services start before ctest, their output away from it.
export WINEPREFIX="$root/build-win64/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if [[ ! -f $WINEPREFIX/system.reg ]]; then wineboot -i </dev/null >/dev/null 2>&1; fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
# Wine started without a display would keep its desktop without one: it
# stops here and starts again on the test display.
wineserver -k >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot </dev/null >/dev/null 2>&1
  ctest --test-dir build-win64 --output-on-failure --parallel 2'
