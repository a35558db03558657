#!/usr/bin/env bash
# Runs two builds of veltrana-convert on the same books and reports every byte
# in which their results differ.
#
#   bench/compare-builds.sh A_BIN_DIR B_BIN_DIR [BOOKS_DIR]
#
# A_BIN_DIR and B_BIN_DIR each hold a veltrana-convert. BOOKS_DIR holds the
# cases: every file at its top level is a book, every folder an Eudora folder
# (names beginning with "_" or "." are left out). Without BOOKS_DIR the default
# set is made first with bench/generate_varied_books.py (GENERATE_ARGS, split
# at blanks, passes options to it, e.g. GENERATE_ARGS="--count 50 --large 0").
#
# For each book or folder and each format (vcard, vcard4, csv, ldif, mutt):
# the export with -o FILE in each character set (auto, i.e. no --charset;
# windows-1252; iso-8859-1; macintosh; utf-8), and once with -o - (standard
# output); then the page run (veltrana-convert BOOK, on each build's own copy
# of the book, or of a folder's main book, with SOURCE_DATE_EPOCH fixing the
# page's date). Every ninth entry also goes with the two after it on one
# command line, in every format (no --charset, one other set, and standard
# output). Each run has a folder of its own as its working folder, where its
# files are written under the same relative names for both builds; then its
# output files, standard output, standard error and exit status are compared
# byte for byte (in standard output and standard error, the path of the run's
# folder is first replaced by "<TMP>").
#
# Prints each difference (the case, what differed, where the first differing
# byte is and the bytes around it on both sides) and a summary; the runs of
# the first differing books are kept in the work folder for a closer look.
# Exit status: 0 when nothing differs, 1 when something does, 2 when the
# comparison itself could not be made.
#
# Environment: FORMATS (the export formats, blank-separated; default
# "vcard vcard4 csv ldif mutt"), JOBS (parallel runs, default 2: keep it at
# 2 or less on a shared machine), CASE_TIMEOUT (seconds a run may take, default 300),
# SHOW_DIFFERENCES (how many differing cases are printed, default 200),
# DETAILS_PER_BOOK (of how many differing cases of a book or group the
# differing bytes are shown, default 5),
# KEEP_DIFFERING (of how many differing books the runs are kept, default 20),
# KEEP_WORK=1 (keep the work folder even when nothing differs), TMPDIR (where
# the work folder goes; default /dev/shm when there is one, else /tmp).
set -uo pipefail

# FORMATS="vcard ... html" adds the web page when both builds have it.
# Read into a name of its own: an array is not passed on to the job runs.
read -r -a FORMAT_LIST <<<"${FORMATS:-vcard vcard4 csv ldif mutt}"
readonly FORMAT_LIST
readonly CHARSETS=(auto windows-1252 iso-8859-1 macintosh utf-8)
readonly EPOCH=1234567890  # 13 February 2009, the date in every page
readonly GROUP_EVERY=9     # one group of three books per this many entries

# ---------------------------------------------------------------------------
# One job: one book or folder (or a group of them), run by both builds, then
# compared. Called by xargs as "compare-builds.sh --job ID".

declare -A EXT=([vcard]=vcf [vcard4]=vcf [csv]=csv [ldif]=ldif [mutt]=aliases [html]=html)

# run_case SIDE CASE ARGS...: runs the side's build with
# ARGS in the case's own working folder, capturing what it writes. While
# PLANNING is set, it only notes the folder the case needs (made beforehand,
# all in one go: on a busy machine starting a process costs more than most
# runs).
run_case() {
  local side=$1 name=$2
  shift 2
  local dir=$JOB_ROOT/$side/$name
  if [[ -n $PLANNING ]]; then
    FOLDERS+=("$dir/cwd")
    return
  fi
  local bin=$A_BIN
  [[ $side == b ]] && bin=$B_BIN
  cd "$dir/cwd" || exit 2
  "$bin" "$@" >"$dir/stdout" 2>"$dir/stderr" </dev/null
  echo $? >"$dir/status"
  cd / || exit 2
}

# The main book of an Eudora folder, looked for as the program looks for it
# (letter case ignored); nothing when it has none.
main_book_of() {
  local folder=$1 wanted entry base
  for wanted in nndbase.txt nndbase.nnt "eudora nicknames"; do
    for entry in "$folder"/*; do
      base=${entry##*/}
      if [[ ${base,,} == "$wanted" && -f $entry ]]; then
        printf '%s' "$entry"
        return
      fi
    done
  done
}

# The runs of one book or folder.
single_cases() {
  local side=$1 path=$2 fmt cs ext book
  for fmt in "${FORMAT_LIST[@]}"; do
    ext=${EXT[$fmt]}
    for cs in "${CHARSETS[@]}"; do
      if [[ $cs == auto ]]; then
        run_case "$side" "$fmt.$cs.file" --export "$fmt" -o "out.$ext" "$path"
      else
        run_case "$side" "$fmt.$cs.file" --export "$fmt" --charset "$cs" -o "out.$ext" "$path"
      fi
    done
    run_case "$side" "$fmt.auto.stdout" --export "$fmt" -o - "$path"
  done
  book=$path
  [[ -d $path ]] && book=$(main_book_of "$path")
  [[ -n $book ]] || return 0
  # Each build converts its own copy: the page is written beside the book.
  local name=${book##*/}
  [[ -n $PLANNING ]] || cp -- "$book" "$JOB_ROOT/$side/page.auto.file/cwd/$name"
  [[ $name == -* ]] && name=./$name
  run_case "$side" page.auto.file "$name"
}

# The runs of several books or folders on one command line: every format
# without --charset, in one other set (each group another) and on standard
# output.
group_cases() {
  local side=$1 turn=$2 fmt ext cs
  shift 2
  for fmt in "${FORMAT_LIST[@]}"; do
    ext=${EXT[$fmt]}
    run_case "$side" "$fmt.auto.file" --export "$fmt" -o "out.$ext" "$@"
    cs=${CHARSETS[1 + (turn + ${#fmt}) % 4]}
    run_case "$side" "$fmt.$cs.file" --export "$fmt" --charset "$cs" -o "out.$ext" "$@"
    run_case "$side" "$fmt.auto.stdout" --export "$fmt" -o - "$@"
  done
}

# COUNT bytes of FILE from 1-based FROM, as a C string (printable ASCII as it
# is, the rest escaped).
quoted_bytes() {
  LC_ALL=C od -An -v -tu1 -j "$(($2 - 1))" -N "$3" -- "$1" | LC_ALL=C awk '
    BEGIN { printf "\"" }
    { for (i = 1; i <= NF; i++) {
        n = $i + 0
        if (n == 92) printf "\\\\"
        else if (n == 34) printf "\\\""
        else if (n == 10) printf "\\n"
        else if (n == 13) printf "\\r"
        else if (n == 9) printf "\\t"
        else if (n >= 32 && n < 127) printf "%c", n
        else printf "\\x%02x", n
      } }
    END { printf "\"" }'
}

# The bytes of FILE before 1-based OFFSET and from it on.
bytes_around() {
  local file=$1 offset=$2 from
  from=$((offset > 24 ? offset - 24 : 1))
  printf '%s | %s\n' "$(quoted_bytes "$file" "$from" "$((offset - from))")" \
    "$(quoted_bytes "$file" "$offset" 40)"
}

# Compares two files; on a difference, prints where and the bytes around,
# unless DETAILS is empty. Returns 1 when they differ.
compare_files() {
  local a=$1 b=$2 what=$3 out offset line=''
  cmp -s -- "$a" "$b" && return 0
  [[ -n $DETAILS ]] || return 1
  out=$(LC_ALL=C cmp -- "$a" "$b" 2>&1)
  if [[ $out =~ (byte|char)\ ([0-9]+),\ line\ ([0-9]+) ]]; then
    offset=${BASH_REMATCH[2]}
    line=", line ${BASH_REMATCH[3]}"
  else  # one is a beginning of the other
    local size_a size_b
    size_a=$(stat -c %s -- "$a")
    size_b=$(stat -c %s -- "$b")
    offset=$(((size_a < size_b ? size_a : size_b) + 1))
    line=" (the end of the shorter)"
  fi
  printf '    %s: first difference at byte %d%s; A %d bytes, B %d bytes\n' "$what" "$offset" \
    "$line" "$(stat -c %s -- "$a")" "$(stat -c %s -- "$b")"
  printf '      A %s' "$(bytes_around "$a" "$offset")"
  printf '\n      B %s\n' "$(bytes_around "$b" "$offset")"
  return 1
}

# A run's exit status, and the signal that ended it (a crash, or the
# processor-time limit: SIGXCPU, 24, or SIGKILL, 9, past it).
status_text() {
  local status
  read -r status <"$1"
  if ((status > 128)); then
    echo "$status (signal $((status - 128)))"
  else
    echo "$status"
  fi
}

# Standard output or standard error with the run's own folder replaced.
normalised() {
  local file=$1 dir=$2 escaped
  escaped=$(printf '%s' "$dir" | sed 's/[][\.*^$/]/\\&/g')
  sed "s/$escaped/<TMP>/g" -- "$file"
}

# The files a run left in its working folder, one name per line.
files_in() {
  [[ -d $1 ]] || return 0
  (cd "$1" && find . \( -type f -o -type l \) -print | LC_ALL=C sort)
}

# Looks at each case of a job whose two trees differ; prints a report of
# every differing case, each opening with a line "DIFFERS: ...", the first
# few of them with the bytes that differ (looking for those takes a dozen
# processes, too many for every case when a build differs in all of them).
describe_differences() {
  local label=$1 case_name dir_a dir_b name report detailed=0
  local -a what
  local -a names=("$JOB_ROOT"/a/* "$JOB_ROOT"/b/*)
  for case_name in $(printf '%s\n' "${names[@]##*/}" | LC_ALL=C sort -u); do
    dir_a=$JOB_ROOT/a/$case_name
    dir_b=$JOB_ROOT/b/$case_name
    report=''
    what=()
    DETAILS=
    ((detailed < ${DETAILS_PER_BOOK:-5})) && DETAILS=1
    if [[ ! -d $dir_a || ! -d $dir_b ]]; then
      what+=("the case ran on one side only")
    else
      if ! cmp -s -- "$dir_a/status" "$dir_b/status"; then
        what+=("exit status")
        report+="    exit status: A $(status_text "$dir_a/status"), B $(status_text "$dir_b/status")"$'\n'
      fi
      local stream
      for stream in stdout stderr; do
        cmp -s -- "$dir_a/$stream" "$dir_b/$stream" && continue
        normalised "$dir_a/$stream" "$dir_a/cwd" >"$JOB_ROOT/norm.a"
        normalised "$dir_b/$stream" "$dir_b/cwd" >"$JOB_ROOT/norm.b"
        if ! report+=$(compare_files "$JOB_ROOT/norm.a" "$JOB_ROOT/norm.b" "$stream")$'\n'; then
          what+=("$stream")
        fi
      done
      while IFS= read -r name; do
        if [[ ! -e $dir_a/cwd/$name && ! -L $dir_a/cwd/$name ]]; then
          what+=("file ${name#./} (B only)")
        elif [[ ! -e $dir_b/cwd/$name && ! -L $dir_b/cwd/$name ]]; then
          what+=("file ${name#./} (A only)")
        elif ! report+=$(compare_files "$dir_a/cwd/$name" "$dir_b/cwd/$name" \
          "file ${name#./}")$'\n'; then
          what+=("file ${name#./}")
        fi
      done < <( (files_in "$dir_a/cwd"; files_in "$dir_b/cwd") | LC_ALL=C sort -u)
    fi
    ((${#what[@]} == 0)) && continue
    detailed=$((detailed + 1))
    local -a parts
    IFS=. read -r -a parts <<<"$case_name"
    if [[ ${parts[0]} == page ]]; then
      parts[1]='no --charset' parts[2]='page run'
    else
      parts[1]="charset ${parts[1]}"
      [[ ${parts[2]} == stdout ]] && parts[2]='-o -' || parts[2]='output file'
    fi
    printf 'DIFFERS: %s | %s | %s | %s: %s\n' "$label" "${parts[@]}" "$(IFS=,; echo "${what[*]}")"
    printf '%s' "$report" | grep -v '^$'
  done
}

run_job() {
  local id=$1
  shopt -s nullglob dotglob
  local -a paths=()
  mapfile -d '' -t paths <"$WORK/jobs/$id"
  JOB_ROOT=$WORK/run/$id
  # A run that loops is stopped once it has taken this much processor time.
  ulimit -t "$CASE_TIMEOUT"
  # The page's date, and the same surroundings for every run.
  export SOURCE_DATE_EPOCH=$EPOCH LC_ALL=C TZ=UTC
  unset TERM
  local side label path
  FOLDERS=()
  for PLANNING in 1 ''; do
    for side in a b; do
      if ((${#paths[@]} == 1)); then
        single_cases "$side" "${paths[0]}"
      else
        group_cases "$side" "$((10#$id))" "${paths[@]}"
      fi
    done
    [[ -n $PLANNING ]] && mkdir -p "${FOLDERS[@]}"
  done
  label=''
  for path in "${paths[@]}"; do label+="${label:+ + }${path#"$BOOKS_DIR"/}"; done
  local differing=0 f
  # Counted by globbing: a process more per job is felt over a thousand.
  local -a cases=("$JOB_ROOT"/a/*/) files=("$JOB_ROOT"/a/*/cwd/*)
  # The files the runs left, and each run's stdout, stderr and exit status.
  local file_count=$((${#files[@]} + 3 * ${#cases[@]}))
  # How many runs failed, so that a set where most fail is noticed.
  local failed_a=0 failed_b=0 status
  for f in "$JOB_ROOT"/a/*/status; do
    read -r status <"$f"
    ((status == 0)) || failed_a=$((failed_a + 1))
  done
  for f in "$JOB_ROOT"/b/*/status; do
    read -r status <"$f"
    ((status == 0)) || failed_b=$((failed_b + 1))
  done
  if ! diff -r -q --no-dereference "$JOB_ROOT/a" "$JOB_ROOT/b" >/dev/null 2>&1; then
    describe_differences "$label" >"$WORK/reports/$id"
    differing=$(grep -c '^DIFFERS:' "$WORK/reports/$id")
  fi
  echo "${#cases[@]} $file_count $differing $failed_a $failed_b" >"$WORK/counts/$id"
  # The runs of the first few differing jobs are kept for a closer look.
  local -a kept=("$WORK"/kept/*)
  if ((differing > 0 && ${#kept[@]} < ${KEEP_DIFFERING:-20})); then
    mv "$JOB_ROOT" "$WORK/kept/$id"
  else
    rm -rf "$JOB_ROOT"
  fi
  if ((10#$id % 100 == 0)); then
    local -a finished=("$WORK"/counts/*)
    echo "  ... ${#finished[@]} of $JOB_COUNT jobs done" >&2
  fi
}

if [[ ${1:-} == --job ]]; then
  run_job "$2"
  exit 0
fi

# ---------------------------------------------------------------------------
# The whole comparison.

usage() {
  sed -n '2,/^set -uo/p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//' >&2
  exit 2
}

(($# >= 2 && $# <= 3)) || usage
here=$(cd "$(dirname "$0")" && pwd)
A_BIN=$(realpath -e -- "$1/veltrana-convert" 2>/dev/null) || {
  echo "compare-builds: no veltrana-convert in $1" >&2
  exit 2
}
B_BIN=$(realpath -e -- "$2/veltrana-convert" 2>/dev/null) || {
  echo "compare-builds: no veltrana-convert in $2" >&2
  exit 2
}
for bin in "$A_BIN" "$B_BIN"; do
  [[ -x $bin ]] || { echo "compare-builds: $bin cannot be run" >&2; exit 2; }
done
CASE_TIMEOUT=${CASE_TIMEOUT:-300}
JOBS=${JOBS:-2}
# Every export ends with an fsync, which on a disk waits for it: the runs
# are made in memory when they can be.
tmp_root=${TMPDIR:-/tmp}
[[ -z ${TMPDIR:-} && -d /dev/shm && -w /dev/shm ]] && tmp_root=/dev/shm
WORK=$(mktemp -d "$tmp_root/compare-builds.XXXXXX")
mkdir -p "$WORK"/{jobs,run,reports,counts,kept}
started=$SECONDS

if (($# == 3)); then
  BOOKS_DIR=$(realpath -e -- "$3") || { echo "compare-builds: no folder $3" >&2; exit 2; }
else
  BOOKS_DIR=$WORK/books
  echo "Making the books in $BOOKS_DIR ..." >&2
  # shellcheck disable=SC2086  # the options are meant to be split
  python3 "$here/generate_varied_books.py" "$BOOKS_DIR" ${GENERATE_ARGS:-} || exit 2
fi

# The jobs, the largest first so that the two runners finish together:
# every entry alone, and every ninth with the two after it.
mapfile -d '' -t entries < <(find "$BOOKS_DIR" -mindepth 1 -maxdepth 1 \
  ! -name '_*' ! -name '.*' -print0 | LC_ALL=C sort -z)
((${#entries[@]} > 0)) || { echo "compare-builds: no book in $BOOKS_DIR" >&2; exit 2; }
# Each job's size, to run the largest first: that of its files, or of
# everything in its folders.
declare -A size_of
while IFS=$'\t' read -r -d '' size path; do
  size_of[$path]=$size
done < <(du -0 -s -b -- "${entries[@]}")
job=0
add_job() {
  local id size=0 path
  printf -v id '%06d' "$job"
  printf '%s\0' "$@" >"$WORK/jobs/$id"
  for path in "$@"; do size=$((size + ${size_of[$path]:-0})); done
  echo "$size $id" >>"$WORK/job-sizes"
  job=$((job + 1))
}
for ((i = 0; i < ${#entries[@]}; i += GROUP_EVERY)); do
  ((i + 2 < ${#entries[@]})) || break
  add_job "${entries[@]:i:3}"
done
for entry in "${entries[@]}"; do add_job "$entry"; done
JOB_COUNT=$job
export A_BIN B_BIN WORK BOOKS_DIR CASE_TIMEOUT JOB_COUNT

touch "$WORK/started"
sleep 1  # so that anything written into the books after this is newer
echo "Comparing $A_BIN (A) with $B_BIN (B) on ${#entries[@]} books and folders" \
  "from $BOOKS_DIR: $JOB_COUNT jobs, $JOBS at a time" >&2
sort -k1,1nr -k2,2 "$WORK/job-sizes" | cut -d' ' -f2 | xargs -r -n 1 -P "$JOBS" bash "$0" --job
xargs_status=$?
elapsed=$((SECONDS - started))

total_cases=0 total_files=0 differing=0 missing=0 failed_a=0 failed_b=0
for id in "$WORK"/jobs/*; do
  id=${id##*/}
  if [[ ! -s $WORK/counts/$id ]]; then
    missing=$((missing + 1))
    continue
  fi
  read -r c f d fa fb <"$WORK/counts/$id"
  total_cases=$((total_cases + c)) total_files=$((total_files + f)) differing=$((differing + d))
  failed_a=$((failed_a + fa)) failed_b=$((failed_b + fb))
done

shown=${SHOW_DIFFERENCES:-200}
cat "$WORK"/reports/* 2>/dev/null >"$WORK/differences.txt"
if ((differing > 0)); then
  awk -v most="$shown" '/^DIFFERS:/ {n++} n <= most' "$WORK/differences.txt"
  ((differing > shown)) &&
    echo "... and $((differing - shown)) more differing cases in $WORK/differences.txt"
fi

# Neither build may write into the books.
changed=$(find "$BOOKS_DIR" -newer "$WORK/started" -print)
if [[ -n $changed ]]; then
  echo "DIFFERS: the books changed during the runs:"
  printf '%s\n' "$changed" | head -20 | sed 's/^/    /'
fi

echo
echo "Summary: A = $A_BIN, B = $B_BIN, books from $BOOKS_DIR"
echo "  books and folders:  ${#entries[@]}, and $((JOB_COUNT - ${#entries[@]})) groups of three of them"
echo "  cases:              $total_cases (each run once by A and once by B: $((2 * total_cases)) runs)"
echo "  files compared:     $total_files (output files, standard output, standard error, exit status)"
echo "  runs that failed:   A $failed_a, B $failed_b (exit status not 0)"
echo "  differing cases:    $differing"
echo "  time:               $((elapsed / 60)) min $((elapsed % 60)) s ($JOBS at a time)"
status=0
((differing > 0)) && status=1
[[ -n $changed ]] && status=1
if ((xargs_status != 0 || missing > 0)); then
  echo "compare-builds: $missing jobs did not finish (xargs status $xargs_status)" >&2
  status=2
fi
if ((status == 0)) && [[ ${KEEP_WORK:-} != 1 ]]; then
  rm -rf "$WORK"
else
  echo "  work folder:        $WORK"
fi
exit "$status"
