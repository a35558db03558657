#!/usr/bin/env bash
# How fast a conversion is, next to reading the same book with md5sum: both
# run as whole processes, alternately, on books of 8,000 and 32,000 entries
# made by the benchmarks' generator. Prints the median wall time of each,
# their ratio, the growth from 8,000 to 32,000 entries, and the peak memory
# of a conversion.
#
#   bench/compare-with-md5sum.sh [BIN_DIR] [RUNS]
#
# BIN_DIR holds veltrana-convert and veltrana-generate-book (default
# build/bin); RUNS is the number of alternating runs (default 9, at least 7).
# Every conversion replaces the page of the run before, as a user's second
# conversion does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

# shellcheck source=bench/timing.sh
source "$root/bench/timing.sh"
bench_setup "$@"

declare -A convert_ms
for entries in 8000 32000; do
  book="$work/book$entries.txt"
  "$bin/veltrana-generate-book" "$entries" "$book"
  "$bin/veltrana-convert" "$book" >/dev/null   # warm up: the book read once, the page made once
  md5sum "$book" >/dev/null
  : >"$work/convert" && : >"$work/md5sum"
  for ((i = 0; i < runs; i++)); do
    elapsed_ms "$bin/veltrana-convert" "$book" >>"$work/convert"
    elapsed_ms md5sum "$book" >>"$work/md5sum"
  done
  convert="$(median <"$work/convert")"
  md5="$(median <"$work/md5sum")"
  convert_ms[$entries]=$convert
  rss_kb="$(/usr/bin/time -f %M "$bin/veltrana-convert" "$book" 2>&1 >/dev/null | tail -n 1)"
  size=$(stat -c %s "$book")
  awk -v n="$entries" -v size="$size" -v c="$convert" -v m="$md5" -v rss="$rss_kb" 'BEGIN {
    printf "%6d entries, book %.2f MB: convert %.1f ms, md5sum %.1f ms, ratio %.2f; ", n, size / 1e6, c, m, c / m
    printf "peak RSS %.1f MB (limit 3 x book + 20 MB = %.1f MB)\n", rss * 1024 / 1e6, (3 * size + 20e6) / 1e6
  }'
done
awk -v a="${convert_ms[8000]}" -v b="${convert_ms[32000]}" \
  'BEGIN { printf "growth from 8,000 to 32,000 entries: %.2fx\n", b / a }'
