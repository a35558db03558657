#!/usr/bin/env bash
# How fast each export is, next to the page run on the same book: both run
# as whole processes, alternately, on books of 8,000 and 32,000 entries made
# by the benchmarks' generator. Prints the median wall time of the page run
# and of each export, their ratio (goal: at most 1.5), the peak memory of
# each export (goal: at most 3 x the book + 20 MB), and each export's growth
# from 8,000 to 32,000 entries (goal: at most 4.5).
#
#   bench/compare-export-with-page.sh [BIN_DIR] [RUNS]
#
# BIN_DIR holds veltrana-convert and veltrana-generate-book (default
# build/bin); RUNS is the number of alternating runs (default 9, at least 7).
# Every run replaces the file of the run before, as a user's second run does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
formats=(vcard vcard4 csv ldif mutt html)

# shellcheck source=bench/timing.sh
source "$root/bench/timing.sh"
bench_setup "$@"

declare -A ms
for entries in 8000 32000; do
  book="$work/book$entries.txt"
  "$bin/veltrana-generate-book" "$entries" "$book"
  size=$(stat -c %s "$book")
  "$bin/veltrana-convert" "$book" >/dev/null   # warm up
  : >"$work/page"
  for format in "${formats[@]}"; do
    "$bin/veltrana-convert" --export "$format" -o "$work/out.$format" "$book" >/dev/null
    : >"$work/$format"
  done
  for ((i = 0; i < runs; i++)); do
    elapsed_ms "$bin/veltrana-convert" "$book" >>"$work/page"
    for format in "${formats[@]}"; do
      elapsed_ms "$bin/veltrana-convert" --export "$format" -o "$work/out.$format" "$book" \
        >>"$work/$format"
    done
  done
  page="$(median <"$work/page")"
  ms[page$entries]=$page
  printf "%6d entries, book %.2f MB: page run %.1f ms\n" "$entries" \
    "$(awk -v s="$size" 'BEGIN { print s / 1e6 }')" "$page"
  for format in "${formats[@]}"; do
    export_ms="$(median <"$work/$format")"
    ms[$format$entries]=$export_ms
    rss_kb="$(/usr/bin/time -f %M "$bin/veltrana-convert" --export "$format" -o "$work/out.$format" \
      "$book" 2>&1 >/dev/null | tail -n 1)"
    awk -v f="$format" -v e="$export_ms" -v p="$page" -v rss="$rss_kb" -v size="$size" 'BEGIN {
      printf "  %-7s %6.1f ms, ratio %.2f (goal 1.5); peak RSS %.1f MB (goal %.1f MB)\n", f, e, e / p,
        rss * 1024 / 1e6, (3 * size + 20e6) / 1e6
    }'
  done
done
for format in page "${formats[@]}"; do
  awk -v f="$format" -v a="${ms[${format}8000]}" -v b="${ms[${format}32000]}" \
    'BEGIN { printf "growth from 8,000 to 32,000 entries, %-6s %.2fx (goal 4.5)\n", f ":", b / a }'
done
