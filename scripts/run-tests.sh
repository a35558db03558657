#!/usr/bin/env bash
# Installs, builds and runs every test: once in a normal build with
# warnings as errors, once with AddressSanitizer and UndefinedBehaviorSanitizer,
# then builds and checks the Debian package, then runs each libFuzzer target
# for 60 seconds from its stored corpus, then cross-builds the Windows
# programs and runs their tests under Wine. The browser edition is built
# before the first tests, which open it in headless Chromium.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

echo "== build and test =="
# A folder of its own: the user's build/ keeps its own settings (no -Werror
# left in its cache).
generator=()
if [[ ! -f build-werror/CMakeCache.txt ]] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S . -B build-werror "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANA_WERROR=ON
cmake --build build-werror --parallel
scripts/make-web.sh  # the browser edition, which the test web_browser opens in Chromium
ctest --test-dir build-werror --output-on-failure --parallel 2

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer =="
CC=clang CXX=clang++ cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVELTRANA_SANITIZE=ON -DVELTRANA_WERROR=ON -DVELTRANA_BUILD_BENCHMARKS=OFF
cmake --build build-sanitize --parallel
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure --parallel 2

echo "== Debian package: build it, then lintian, desktop-file-validate and its contents =="
deb="$(scripts/make-deb.sh | tail -n 1)"
scripts/check-deb.sh "$deb"

echo "== fuzz each target for 60 seconds =="
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTRANA_FUZZ=ON
cmake --build build-fuzz --parallel
for target in conversion settings contacts; do
  # New inputs go to a scratch folder; the stored corpus is only read.
  scratch="$(mktemp -d)"
  status=0
  build-fuzz/bin/veltrana_${target}_fuzzer -max_total_time=60 -max_len=40000 \
    -print_final_stats=1 -artifact_prefix="$scratch/" "$scratch" "tests/fuzz/corpus/$target" \
    >"$scratch/log" 2>&1 || status=$?
  grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$scratch/log" || true
  if [[ $status -ne 0 ]]; then
    tail -n 60 "$scratch/log" >&2
    echo "fuzzing $target found a failure (exit status $status); the input and log are in $scratch" >&2
    exit 1
  fi
  rm -rf "$scratch"
done
echo "fuzzing: no finding"

echo "== Windows: cross-built with MinGW-w64, tested under Wine =="
scripts/run-windows-tests.sh
