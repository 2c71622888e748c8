#!/usr/bin/env bash
# The server store's lines of bench/run.sh, beside the desktop store's, on the same generated
# university: a throw-away PostgreSQL server (scripts/test-server.sh) holding a copy of it.
#
#   bench/server.sh WORKLOADCTL BASE_DATADIR YEAR FACULTY WORKDIR
#
# Prints: one faculty's and the year's calculation, the export and import of a year's rows, and
# rows per second of 1 and of 8 operators adding rows at once, each with the desktop store's
# figure of the same run and the ratio.
set -euo pipefail
ctl=$1 base=$2 year=$3 faculty=$4 work=$5
root=$(cd "$(dirname "$0")/.." && pwd)
server_dir=$work/pg
conninfo=$("$root/scripts/test-server.sh" start "$server_dir")
trap '"$root/scripts/test-server.sh" stop "$server_dir"' EXIT

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

desk=$work/desk
fresh_desk() { rm -rf "$desk"; mkdir -p "$desk"; cp "$base/workload.sqlite3" "$desk/"; sync; }
# A fresh server store: the tables made again, then the university pushed onto them (a push
# replaces every table's rows, the defaults of the new store included).
fresh_server() {
    "$ctl" --server "$conninfo" init --force >/dev/null
    "$ctl" --server "$conninfo" push "$base" >/dev/null
}

# timed_both LABEL ARGS...: the command on a fresh desktop copy and on a fresh server copy.
timed_both() {
    local label=$1 start d s
    shift
    fresh_desk
    start=$(now); "$ctl" --dir "$desk" "$@" >/dev/null; d=$(since "$start")
    fresh_server
    start=$(now); "$ctl" --server "$conninfo" "$@" >/dev/null; s=$(since "$start")
    printf 'server %s: PostgreSQL %.3f s, SQLite %.3f s, ratio %s (target <= 2)\n' "$label" "$s" "$d" "$(ratio "$s" "$d")"
}

start=$(now)
fresh_server
printf 'server push of the university: %.3f s\n' "$(since "$start")"

timed_both "calc one faculty ($faculty)" calc --year "$year" --faculty "$faculty"
timed_both "calc the year (--all)" calc --year "$year" --all

# A year's rows exported from each store, then imported into a store without them.
fresh_desk
start=$(now); n=$("$ctl" --dir "$desk" export --year "$year" --format dbt --to "$work/desk-bt" | cut -d' ' -f1); d=$(since "$start")
start=$(now); "$ctl" --server "$conninfo" export --year "$year" --format dbt --to "$work/server-bt" >/dev/null; s=$(since "$start")
printf 'server export of %d rows: PostgreSQL %.3f s, SQLite %.3f s, ratio %s\n' "$n" "$s" "$d" "$(ratio "$s" "$d")"
"$ctl" --dir "$desk" sql "delete from gzl" >/dev/null
"$ctl" --server "$conninfo" sql "delete from gzl" >/dev/null
start=$(now); "$ctl" --dir "$desk" import "$work/desk-bt.dbt" >/dev/null; d=$(since "$start")
start=$(now); "$ctl" --server "$conninfo" import "$work/desk-bt.dbt" >/dev/null; s=$(since "$start")
printf 'server import of %d rows: PostgreSQL %.3f s, SQLite %.3f s, ratio %s (target <= 2)\n' "$n" "$s" "$d" "$(ratio "$s" "$d")"

# Operators adding rows: each a loop of `row add` for a teacher of their own, as a script would.
teachers=$("$ctl" --server "$conninfo" sql "select rymc, bmmc from rydm, bmdm where rydm.bmdm=bmdm.bmdm order by rydm limit 8" | tail -n +2)
add_rows() { # TEACHER SECTION COUNT
    for _ in $(seq "$3"); do
        "$ctl" --server "$conninfo" row add --year "$year" --category 理论实验 --teacher "$1" --section "$2" \
            --name 高等数学 --class 一班 --type 专业课 --t1 48 --r1 60 >/dev/null
    done
}
per=20
first=$(echo "$teachers" | head -1)
start=$(now); add_rows "$(cut -f1 <<<"$first")" "$(cut -f2 <<<"$first")" "$per"; one=$(since "$start")
start=$(now)
while IFS=$'\t' read -r t s; do add_rows "$t" "$s" "$per" & done <<<"$teachers"
wait
eight=$(since "$start")
r1=$(awk -v n="$per" -v t="$one" 'BEGIN { printf "%.1f", n / t }')
r8=$(awk -v n="$per" -v t="$eight" 'BEGIN { printf "%.1f", 8 * n / t }')
printf 'server rows added per second: 1 operator %s, 8 operators %s, ratio %s (target >= 4)\n' "$r1" "$r8" "$(ratio "$r8" "$r1")"
