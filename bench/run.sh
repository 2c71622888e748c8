#!/usr/bin/env bash
# Builds a Release build of its own and prints, one line each, the median of several runs of the
# program's heavy operations on a generated university. Not part of the test suite.
#
#   bench/run.sh                 default university: 20 faculties x 15 sections x 10 teachers,
#                                20 rows per teacher and year, 3 years (180,000 workload rows)
#   BENCH_UNIVERSITY=5,15,10,20,3 BENCH_RUNS=7 bench/run.sh
#
# The generated store is kept under build/release-bench/bench-data and reused; every timed run
# works on a fresh copy of it. Other operations add their lines at the end, using the helpers.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
root=$PWD

university=${BENCH_UNIVERSITY:-20,15,10,20,3}
runs=${BENCH_RUNS:-5}
build=$root/build/release-bench
lock=/tmp/workload-build.lock

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWORKLOAD_TESTS=OFF >/dev/null
flock "$lock" cmake --build "$build" --target workloadctl gbk_sqlite >/dev/null
ctl=$build/src/workloadctl/workloadctl
extension=$build/bench/gbk_sqlite

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---- helpers ---------------------------------------------------------------------------------

# Seconds since the epoch with nanoseconds.
now() { date +%s.%N; }

# div A B: A / B
div() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", a / b }'; }

# median N1 N2 ...: the middle value (the mean of the two middle ones for an even count).
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) printf "%.3f", v[(NR + 1) / 2];
        else printf "%.3f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# fresh: a copy of the base store in an empty directory; prints the directory. The copy is
# written out to disk before it is used: otherwise the first fsync of the timed operation would
# also write out the whole copy, which a store in use never has pending.
fresh() {
    local dir=$work/copy
    rm -rf "$dir"
    mkdir -p "$dir"
    cp "$base/workload.sqlite3" "$dir/"
    sync
    echo "$dir"
}

# timed COMMAND...: runs it on its own store copy ({} in the arguments is the copy's directory)
# and prints its wall time in seconds; the command's output is discarded.
timed() {
    local dir args=() start end
    dir=$(fresh)
    for a in "$@"; do args+=("${a//\{\}/$dir}"); done
    start=$(now)
    "${args[@]}" >/dev/null
    end=$(now)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }'
}

# median_of COMMAND...: the median wall time of BENCH_RUNS runs of `timed COMMAND...`.
median_of() {
    local times=()
    for _ in $(seq "$runs"); do times+=("$(timed "$@")"); done
    median "${times[@]}"
}

# in_place COMMAND...: the median wall time of BENCH_RUNS runs of a command that only reads the
# store, on the store as it is; the command's output is discarded.
in_place() {
    local times=() start end
    for _ in $(seq "$runs"); do
        start=$(now)
        "$@" >/dev/null
        end=$(now)
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')")
    done
    median "${times[@]}"
}

# ---- the generated university ----------------------------------------------------------------

base=$build/bench-data/${university//,/x}
if [ ! -f "$base/workload.sqlite3" ]; then
    echo "generating the university $university (once) ..." >&2
    rm -rf "$base"
    "$ctl" --dir "$base" init --synthetic "$university" >/dev/null
    # One calculation first, as after any first start: it leaves the planner statistics behind.
    year=$("$ctl" --dir "$base" sql "select max(nd) as nd from gzl" | tail -n 1)
    faculty=$("$ctl" --dir "$base" sql "select mc from yuanbu order by rowid limit 1" | tail -n 1)
    "$ctl" --dir "$base" calc --year "$year" --faculty "$faculty" >/dev/null
fi
year=$("$ctl" --dir "$base" sql "select max(nd) as nd from gzl" | tail -n 1)
faculty=$("$ctl" --dir "$base" sql "select mc from yuanbu order by rowid limit 1" | tail -n 1)
rows=$("$ctl" --dir "$base" sql "select count(*) as n from gzl" | tail -n 1)
echo "university $university: $rows workload rows; year $year; median of $runs runs; $(nproc) cores"

# ---- calculation -----------------------------------------------------------------------------

# The floor: the statements of the same faculty calculation, replayed by the sqlite3 shell in one
# transaction on a copy of the same store.
"$ctl" --dir "$(fresh)" calc --year "$year" --faculty "$faculty" --trace | grep -v '^calculated ' >"$work/trace.sql"
{
    echo ".load $extension"
    echo "BEGIN;"
    sed 's/$/;/' "$work/trace.sql"
    echo "COMMIT;"
} >"$work/replay.sql"
statements=$(wc -l <"$work/trace.sql")
# The shell prints every row a probe selects (to /dev/null here), while the program only asks
# whether there is one; the strict floor replays the probes as existence checks.
{
    echo ".load $extension"
    echo "BEGIN;"
    sed -E 's/^(select (\*|q33) from gzl .*)$/select exists (\1)/; s/$/;/' "$work/trace.sql"
    echo "COMMIT;"
} >"$work/replay-strict.sql"

ours=$(median_of "$ctl" --dir {} calc --year "$year" --faculty "$faculty")
floor=$(median_of sh -c "sqlite3 {}/workload.sqlite3 <'$work/replay.sql'")
strict=$(median_of sh -c "sqlite3 {}/workload.sqlite3 <'$work/replay-strict.sql'")
printf 'calc one faculty (%s, %d statements): %.3f s; floor (sqlite3 replay) %.3f s, ratio %.2f; ' \
    "$faculty" "$statements" "$ours" "$floor" "$(div "$ours" "$floor")"
printf 'strict floor (probes as existence checks) %.3f s, ratio %.2f (target <= 1.3)\n' "$strict" \
    "$(div "$ours" "$strict")"

all=$(median_of "$ctl" --dir {} calc --year "$year" --all)
if [ -x /usr/bin/time ]; then
    peak=$( (/usr/bin/time -f '%M' "$ctl" --dir "$(fresh)" calc --year "$year" --all >/dev/null) 2>&1 | tail -n 1)
    peak="$((peak / 1024)) MB"
else
    peak="not measured (GNU time is not installed)"
fi
printf 'calc --all of one year: %.3f s (target <= 1 s); peak memory %s (target <= 200 MB)\n' "$all" "$peak"

# What the statements of --all cost by themselves (one run): the floor of the line above.
"$ctl" --dir "$(fresh)" calc --year "$year" --all --trace | grep -v '^calculated ' >"$work/trace-all.sql"
{
    echo ".load $extension"
    echo "BEGIN;"
    sed 's/$/;/' "$work/trace-all.sql"
    echo "COMMIT;"
} >"$work/replay-all.sql"
floor_all=$(timed sh -c "sqlite3 {}/workload.sqlite3 <'$work/replay-all.sql'")
printf 'calc --all floor (sqlite3 replay of its %d statements, one run): %.3f s\n' "$(wc -l <"$work/trace-all.sql")" \
    "$floor_all"

# ---- exchange files --------------------------------------------------------------------------

# Export of one year's rows to each format, then the import of that file into an empty store
# (every row new) and again into the same store (every row replaced).
flock "$lock" cmake --build "$build" --target bench_exchange >/dev/null
empty=$work/empty
"$ctl" --dir "$empty" init >/dev/null
for format in dbt dbf; do
    exported=$(median_of "$ctl" --dir {} export --year "$year" --format "$format" --to "$work/bt")
    n=$("$ctl" --dir "$(fresh)" export --year "$year" --format "$format" --to "$work/bt" | cut -d' ' -f1)
    new=() again=()
    for _ in $(seq "$runs"); do
        rm -rf "$work/target" && cp -r "$empty" "$work/target" && sync
        start=$(now)
        "$ctl" --dir "$work/target" import "$work/bt.$format" >/dev/null
        mid=$(now)
        "$ctl" --dir "$work/target" import "$work/bt.$format" >/dev/null
        end=$(now)
        new+=("$(awk -v a="$start" -v b="$mid" 'BEGIN { printf "%.6f", b - a }')")
        again+=("$(awk -v a="$mid" -v b="$end" 'BEGIN { printf "%.6f", b - a }')")
    done
    printf 'exchange .%s, %d rows: export %.3f s (target <= 2 s); import as new rows %.3f s, again replacing %.3f s (targets <= 3 s)\n' \
        "$format" "$n" "$exported" "$(median "${new[@]}")" "$(median "${again[@]}")"
done
# Where the time goes, step by step, on a generated year of 60,000 rows.
"$build/bench/bench_exchange"

# ---- teacher workload list -------------------------------------------------------------------

# One faculty of 3,000 teachers (300 sections of 10, one workload row each, totals computed once):
# its list, 82 pages, written by `workloadctl report` as PDF and as XLSX. The whole command is
# timed: opening the store, the teacher grid's statement, the layout and the file.
list_base=$build/bench-data/list-1x300x10
if [ ! -f "$list_base/workload.sqlite3" ]; then
    echo "generating the 3,000-teacher faculty (once) ..." >&2
    rm -rf "$list_base"
    "$ctl" --dir "$list_base" init --synthetic 1,300,10,1,1 >/dev/null
    "$ctl" --dir "$list_base" calc --all --year "$("$ctl" --dir "$list_base" sql "select max(nd) as nd from gzl" |
        tail -n 1)" >/dev/null
fi
list_year=$("$ctl" --dir "$list_base" sql "select max(nd) as nd from gzl" | tail -n 1)
list_faculty=$("$ctl" --dir "$list_base" sql "select mc from yuanbu order by rowid limit 1" | tail -n 1)
list=("$ctl" --dir "$list_base" report --year "$list_year" --faculty "$list_faculty")
pages=$("${list[@]}" --pdf "$work/list.pdf" 2>/dev/null | sed -E 's/.*, ([0-9]+) pages?$/\1/')
pdf=$(in_place "${list[@]}" --pdf "$work/list.pdf")
xlsx=$(in_place "${list[@]}" --xlsx "$work/list.xlsx")
printf 'teacher workload list, 3,000 teachers (%s pages): PDF %.3f s (target <= 3 s); XLSX %.3f s (target <= 1 s)\n' \
    "$pages" "$pdf" "$xlsx"
