#!/usr/bin/env bash
# Checks that bench/compare-builds.sh finds what differs, and only that.
#
#   bench/check-compare-builds.sh [BIN_DIR]
#
# BIN_DIR holds a veltrana-convert (default: build/bin of this checkout).
# On a small generated set of books it compares the build with itself, which
# must find nothing, and then two wrappers of it: A, which writes its working
# folder's path to standard error in the vcard runs (as B does), and B, which
# spoils the results in known ways, one per format:
#   ldif    one byte of the output file changed (at byte 41, or the last);
#   vcard4  one byte added to the export on standard output;
#   mutt    the exit status raised by 3;
#   csv     a message added to standard error when reading macintosh;
#   page    a stray file left beside the page;
#   vcard   the working folder's path written to standard error, by A too:
#           the comparison replaces it, so it must not count as a difference.
# Each must be reported where it was made and nowhere else. Exit status 0
# when all is as expected, 1 otherwise. Takes a few minutes.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin_dir=$(realpath -e -- "${1:-$here/../build/bin}") || exit 2
[[ -x $bin_dir/veltrana-convert ]] || { echo "no veltrana-convert in $bin_dir" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/check-compare-builds.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

python3 "$here/generate_varied_books.py" "$work/books" --count 14 --folders 3 --large 0 \
  --no-fuzz-corpus || exit 2

echo "== the build against itself"
"$here/compare-builds.sh" "$bin_dir" "$bin_dir" "$work/books" >"$work/same.txt" 2>&1
status=$?
((status == 0)) || fail "the build against itself: exit status $status, not 0"
grep -a -q '^  differing cases:    0$' "$work/same.txt" || fail "the build against itself differs"
grep -a -q '^DIFFERS' "$work/same.txt" && fail "the build against itself reports a difference"
tail -7 "$work/same.txt"

mkdir "$work/plain" "$work/spoilt"
for side in plain spoilt; do
  cat >"$work/$side/veltrana-convert" <<EOF
#!/usr/bin/env bash
# veltrana-convert, wrapped ($side).
real='$bin_dir/veltrana-convert'
EOF
done
cat >>"$work/plain/veltrana-convert" <<'EOF'
"$real" "$@"
status=$?
[[ ${1:-} == --export && ${2:-} == vcard ]] && echo "working in $PWD" >&2
exit "$status"
EOF
cat >>"$work/spoilt/veltrana-convert" <<'EOF'
format='' out='' charset=''
args=("$@")
for ((i = 0; i + 1 < $#; i++)); do
  case ${args[i]} in
    --export) format=${args[i + 1]} ;;
    -o) out=${args[i + 1]} ;;
    --charset) charset=${args[i + 1]} ;;
  esac
done
if [[ $format == vcard4 && $out == - ]]; then
  "$real" "$@"
  status=$?
  printf 'X'
  exit "$status"
fi
"$real" "$@"
status=$?
case $format in
  ldif)
    if [[ $out != - && -s $out ]]; then
      size=$(stat -c %s "$out")
      at=$((size > 40 ? 40 : size - 1))
      byte=$(dd if="$out" bs=1 skip="$at" count=1 status=none)
      [[ $byte == Z ]] && new=Y || new=Z
      printf '%s' "$new" | dd of="$out" bs=1 seek="$at" conv=notrunc status=none
    fi
    ;;
  mutt) status=$((status + 3)) ;;
  csv) [[ $charset == macintosh ]] && echo "an extra message" >&2 ;;
  vcard) echo "working in $PWD" >&2 ;;
  '') : >stray.tmp ;;
esac
exit "$status"
EOF
chmod +x "$work/plain/veltrana-convert" "$work/spoilt/veltrana-convert"

echo "== the plain wrapper against the spoilt one"
SHOW_DIFFERENCES=1000000 DETAILS_PER_BOOK=1000 "$here/compare-builds.sh" "$work/plain" "$work/spoilt" "$work/books" \
  >"$work/spoilt.txt" 2>&1
status=$?
((status == 1)) || fail "against the spoilt copy: exit status $status, not 1"
kept=$(sed -n 's/^  work folder: *//p' "$work/spoilt.txt")
[[ -n $kept && $kept == */compare-builds.* ]] && rm -rf "$kept"
tail -7 "$work/spoilt.txt"

export LC_ALL=C
reported() {  # the DIFFERS lines of one format and what differed
  grep -a -E "^DIFFERS: .* \| $1 \| .*: $2\$" "$work/spoilt.txt"
}
count() { reported "$@" | wc -l; }
(($(count ldif 'file out\.ldif') > 0)) || fail "the changed LDIF byte is not reported"
(($(count vcard4 'stdout') > 0)) || fail "the byte added to standard output is not reported"
(($(count mutt 'exit status') > 0)) || fail "the exit status is not reported"
(($(count csv 'stderr') > 0)) || fail "the message on standard error is not reported"
(($(count page 'file stray\.tmp \(B only\)') > 0)) || fail "the stray file is not reported"
reported csv stderr | grep -a -v '| charset macintosh |' && fail "csv reported in another charset"
reported vcard4 stdout | grep -a -v -- '| -o -:' && fail "vcard4 reported beside standard output"
grep -a -E '^DIFFERS: .* \| vcard \|' "$work/spoilt.txt" &&
  fail "the working folder's path was not replaced"
# Every difference reported is one of those made.
grep -a '^DIFFERS:' "$work/spoilt.txt" |
  grep -a -v -E '\| (ldif \| .*: file out\.ldif|vcard4 \| .*: stdout|mutt \| .*: exit status|csv \| charset macintosh \| .*: stderr|page \| .*: file stray\.tmp \(B only\))$' &&
  fail "a difference was reported that was not made"
# The first differing byte of an LDIF file: the 41st, or the last of a
# shorter file.
grep -a -A1 -E '^DIFFERS: .* \| ldif \| ' "$work/spoilt.txt" | grep -a 'file out.ldif: first' |
  grep -a -v -E 'at byte ([0-9]+), .*A \1 bytes|at byte 41,' &&
  fail "an LDIF difference is placed at the wrong byte"
# Each mutt case is reported: as many as there are mutt runs, found from the
# cases the first comparison counted (every format has as many).
cases=$(sed -n 's/^  cases: *\([0-9]*\) .*/\1/p' "$work/same.txt")
pages=$(grep -a -c '^DIFFERS: .* | page |' "$work/spoilt.txt")
(($(count mutt 'exit status') == (cases - pages) / 5)) ||
  fail "$(count mutt 'exit status') mutt cases reported of $(((cases - pages) / 5))"

if ((failures > 0)); then
  echo "$failures checks failed; the reports were:"
  grep -a -A3 '^DIFFERS' "$work/spoilt.txt" | head -60
  exit 1
fi
echo "All checks passed."
