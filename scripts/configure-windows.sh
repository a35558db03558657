#!/usr/bin/env bash
# Configures the Windows cross-build of one architecture, the same way for
# the tests and for the zips, so either script reuses what the other built:
#   scripts/configure-windows.sh i686     -> build-win32 (the programs)
#   scripts/configure-windows.sh x86_64   -> build-win64 (the programs and the tests)
# Prints the build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
arch=$1
case $arch in
  i686) folder=build-win32 tests=OFF ;;   # 32-bit code cannot run on these machines
  x86_64) folder=build-win64 tests=ON ;;
  *) echo "configure-windows: i686 or x86_64, not $arch" >&2; exit 2 ;;
esac
generator=()
if [[ ! -f $root/$folder/CMakeCache.txt ]]; then generator=(-G Ninja); fi
cmake -S "$root" -B "$root/$folder" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVELTRANA_WERROR=ON -DVELTRANA_BUILD_TESTS=$tests \
  -DCMAKE_EXE_LINKER_FLAGS=-s >/dev/null
echo "$root/$folder"
