#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests and benchmarks.
#
#   scripts/test-server.sh start DIR   creates a cluster and starts it on a Unix socket only (no
#                                      TCP); prints the connection string of its database and
#                                      writes it to DIR/conninfo
#   scripts/test-server.sh restart DIR as start, after stopping and removing what DIR held
#   scripts/test-server.sh stop DIR    stops the server and removes DIR and the cluster
#
# The cluster runs as an unprivileged user (the server refuses to run as root: as root, the user
# "nobody" runs it, in a directory of its own under /tmp, since DIR's parents may be closed to it).
# The tests connect as the role "workload", which owns the database "workload" and may create
# roles, and nothing more: the rights an office's store role has.
set -euo pipefail

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -x "$bindir/initdb" ] || { echo "test-server: PostgreSQL is not installed (scripts/install-deps.sh)" >&2; exit 1; }

command=${1:-}
dir=${2:-}
[ -n "$command" ] && [ -n "$dir" ] || { echo "usage: $0 start|restart|stop DIR" >&2; exit 2; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
    else
        "$@"
    fi
}

# Where the cluster and its socket are: DIR itself, or as root the directory that DIR/cluster names.
cluster_of() {
    if [ -f "$dir/cluster" ]; then cat "$dir/cluster"; else echo "$dir"; fi
}

stop_server() {
    [ -d "$dir" ] || return 0
    local cluster
    cluster=$(cluster_of)
    if [ -f "$cluster/data/postmaster.pid" ]; then
        as_owner "$bindir/pg_ctl" -D "$cluster/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    [ "$cluster" != "$dir" ] && rm -rf "$cluster"
    rm -rf "$dir"
}

case "$command" in
restart)
    stop_server
    exec "$0" start "$dir"
    ;;
start)
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    cluster=$dir
    if [ "$(id -u)" -eq 0 ]; then
        cluster=$(mktemp -d /tmp/workload-pg.XXXXXX)
        chmod 755 "$cluster"
        chown nobody:nogroup "$cluster"
        echo "$cluster" >"$dir/cluster"
    fi
    as_owner "$bindir/initdb" -D "$cluster/data" -U postgres --auth=trust --encoding=UTF8 --locale=C \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    as_owner "$bindir/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w -t 30 \
        -o "-c listen_addresses='' -c unix_socket_directories='$cluster' -c port=5432 -c fsync=off -c max_connections=60" \
        start >/dev/null || { cat "$cluster/server.log" >&2; exit 1; }
    psql=("$bindir/psql" -X -q -v ON_ERROR_STOP=1 -h "$cluster" -U postgres -d postgres)
    "${psql[@]}" -c "CREATE ROLE workload LOGIN CREATEROLE" \
        -c "CREATE DATABASE workload OWNER workload TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C'" >/dev/null
    echo "host=$cluster port=5432 user=workload dbname=workload" | tee "$dir/conninfo"
    ;;
stop)
    stop_server
    ;;
*)
    echo "usage: $0 start|restart|stop DIR" >&2
    exit 2
    ;;
esac
