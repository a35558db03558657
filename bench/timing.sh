# What the comparison scripts share (sourced, not run): their arguments and
# their timing.

# BIN_DIR (default build/bin) into $bin, RUNS (default 9, at least 7) into
# $runs, and a scratch folder $work, removed at exit. Needs $root.
bench_setup() {
  bin="$(cd "${1:-$root/build/bin}" && pwd)"
  runs="${2:-9}"
  if ((runs < 7)); then echo "at least 7 runs" >&2; exit 2; fi
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
}

# Milliseconds of one run of a command, its output discarded.
elapsed_ms() {
  local start end
  start=$EPOCHREALTIME
  "$@" >/dev/null
  end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f\n", (e - s) * 1000 }'
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
