#!/bin/bash
# tests/x_server_test.sh WITH-XVFB -- a run killed part-way and started again at once (as a
# mutation run does) leaves no server of the first run behind: a start stops the server its
# record still names, even while the run that started it lives, and a run's server ends with
# the run whatever the record says by then.
set -euo pipefail
xvfb=$1
record=$(mktemp)
servers=''
trap 'rm -f "$record"; kill $servers 2>/dev/null || true' EXIT
fail() { echo "FAIL: $*"; exit 1; }
lives() { ps -o stat= -p "$1" | grep -qv Z; }

# A run is what ctest is to its server: the process whose end the server's watcher waits for.
# It prints the record its start wrote, then lives until it is killed or this test ends.
run() { "$xvfb" --start "$record" && cat "$record" && exec tail --pid=$$ -f /dev/null; }
start_run() {
    exec {out}< <(run)
    run=$!
    read -r _ server _ <&"$out"
    servers="${servers:+$servers }$server"
}

start_run
first=$server
first_run=$run
start_run
! lives "$first" || fail "a start left the server its record named running, and unrecorded"

rm "$record"
kill -KILL "$first_run" "$run"
# ps, not tail --pid: a zombie that init has not reaped yet is done.
while lives "$server" && [ $SECONDS -lt 60 ]; do sleep 0.1; done
! lives "$server" || fail "a server outlived its run once its record was gone"
