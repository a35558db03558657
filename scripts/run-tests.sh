#!/usr/bin/env bash
# Installs, builds and runs every test: once in a normal build with
# warnings as errors, once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

echo "== build and test =="
scripts/build.sh -DVELTRANA_WERROR=ON
ctest --test-dir build --output-on-failure --parallel 2

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer =="
CC=clang CXX=clang++ cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVELTRANA_SANITIZE=ON -DVELTRANA_WERROR=ON -DVELTRANA_BUILD_BENCHMARKS=OFF
cmake --build build-sanitize --parallel
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure --parallel 2
