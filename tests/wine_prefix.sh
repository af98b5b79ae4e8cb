#!/bin/sh
# tests/wine_prefix.sh start|stop: WINEPREFIX for a ctest run, its server kept running; stop
# ends all its processes, and so does the end of the ctest that started it, however it ends.
set -eu
run=$WINEPREFIX.ctest # the ctest whose prefix it is now
case $1 in
start)
    # The watcher first, so that a failed start leaves no server behind either; Wine's own
    # messages stay out of ctest's output.
    exec </dev/null >/dev/null 2>&1
    mkdir -p "$WINEPREFIX"
    echo "$PPID" >"$run"
    setsid "$0" watch "$PPID" &
    wineserver -p
    wineboot -i
    ;;
watch) # apart from ctest's signals; a later run's prefix is that run's
    tail --pid="$2" -f /dev/null
    [ "$(cat "$run" 2>/dev/null)" != "$2" ] || "$0" stop
    ;;
stop) rm -f "$run" && { wineserver -k || true; } ;;
esac
