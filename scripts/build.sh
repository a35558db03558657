#!/usr/bin/env bash
# Configures and builds Veltrana into build/ (binaries in build/bin/).
#
#   scripts/build.sh [CONFIGURE-ARGS...] [-- BUILD-ARGS...]
#
# CONFIGURE-ARGS go to cmake's configure step, BUILD-ARGS to its build step
# (for example `-- --target veltrana-convert` builds only the converter).
# A build/ configured before keeps its generator; a new one uses Ninja when
# it is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
configure=()
build=()
while (($#)); do
  if [[ $1 == -- ]]; then
    shift
    build=("$@")
    break
  fi
  configure+=("$1")
  shift
done
if [[ ! -f build/CMakeCache.txt ]] && command -v ninja >/dev/null; then
  configure=(-G Ninja "${configure[@]}")
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}"
cmake --build build --parallel "${build[@]}"
