#!/usr/bin/env bash
# Installs, builds and converts the bundled sample address book
# examples/nndbase.txt into examples/nndbase.htm. Only the compiler and
# CMake are installed, and only the converter is built.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" sample
"$root/scripts/build.sh" -- --target veltrana-convert
cd "$root/examples"
"$root/build/bin/veltrana-convert" nndbase.txt
echo "The page is $root/examples/nndbase.htm"
