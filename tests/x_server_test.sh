#!/bin/bash
# tests/x_server_test.sh WITH-XVFB -- a run killed part-way and started again at once (as a
# mutation run does) leaves no server of the first run behind: a start stops the server its
# record still names, and a run's server ends with the run whatever the record says by then.
set -euo pipefail
xvfb=$1
record=$(mktemp)
servers=''
trap 'kill $servers 2>/dev/null; rm -f "$record"' EXIT
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
kill -KILL "$run"
start_run
! lives "$first" || fail "a run killed and started again at once left its first server running"
second=$server second_run=$run
start_run
! lives "$second" || fail "a start left the server its record named running, and unrecorded"

rm "$record"
kill -KILL "$second_run" "$run"
while lives "$servers" && [ $SECONDS -lt 60 ]; do sleep 0.1; done
! lives "$servers" || fail "a server outlived its run once its record was gone"
