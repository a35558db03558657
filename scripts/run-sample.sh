#!/usr/bin/env bash
# Installs, builds and converts the bundled sample address book
# examples/nndbase.txt into examples/nndbase.htm.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/examples"
"$root/build/bin/veltrana-convert" nndbase.txt
echo "The page is $root/examples/nndbase.htm"
