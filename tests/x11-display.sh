#!/usr/bin/env bash
# The virtual X display that the tests needing a real X server run on: an Xvfb
# server on a display number it finds free, with the openbox window manager.
#
#   x11-display.sh start STATE   starts both, noting them in the folder STATE
#   x11-display.sh run STATE CMD...   runs CMD with DISPLAY set to that display
#   x11-display.sh stop STATE    stops both and removes STATE
set -euo pipefail

command=${1:?usage: x11-display.sh start|run|stop STATE [CMD...]}
state=${2:?usage: x11-display.sh start|run|stop STATE [CMD...]}
shift 2

# Whether process pid runs; one that has ended but is not yet reaped does not.
running() {
    local status
    [ -r "/proc/$1/stat" ] && read -r _ _ status _ <"/proc/$1/stat" 2>/dev/null && [ "$status" != Z ]
}

# Waits up to ten seconds for a test to pass while process pid runs.
wait_for() {
    local pid=$1 what=$2
    shift 2
    for _ in $(seq 100); do
        "$@" && return 0
        running "$pid" || { echo "$what ended while starting" >&2; return 1; }
        sleep 0.1
    done
    echo "$what did not start within ten seconds" >&2
    return 1
}

stop() {
    local pid
    for name in openbox xvfb; do
        [ -f "$state/$name.pid" ] || continue
        pid=$(cat "$state/$name.pid")
        kill "$pid" 2>/dev/null || continue
        for _ in $(seq 50); do running "$pid" || break; sleep 0.1; done
        ! running "$pid" || kill -9 "$pid" 2>/dev/null || true
    done
    rm -rf "$state"
}

start() {
    for program in Xvfb openbox; do
        command -v "$program" >/dev/null || { echo "$program is missing: run scripts/deps.sh" >&2; exit 1; }
    done
    stop # what a run that was stopped half-way left behind
    mkdir -p "$state/home/config"
    # Xvfb writes the number of the display it took to descriptor 3 once it
    # accepts connections.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        </dev/null >"$state/xvfb.log" 2>&1 3>"$state/display" &
    echo $! >"$state/xvfb.pid"
    wait_for "$(cat "$state/xvfb.pid")" Xvfb grep -q '^[0-9]*$' "$state/display" || { cat "$state/xvfb.log" >&2; stop; exit 1; }

    # openbox runs with a settings folder of its own, and touches wm-ready
    # once it manages the screen.
    DISPLAY=":$(cat "$state/display")" HOME="$state/home" XDG_CONFIG_HOME="$state/home/config" \
        openbox --sm-disable --startup "touch '$state/wm-ready'" </dev/null >"$state/openbox.log" 2>&1 &
    echo $! >"$state/openbox.pid"
    wait_for "$(cat "$state/openbox.pid")" openbox test -e "$state/wm-ready" || { cat "$state/openbox.log" >&2; stop; exit 1; }
    echo "X display :$(cat "$state/display") with openbox"
}

case $command in
start) start ;;
stop) stop ;;
run)
    [ -s "$state/display" ] || { echo "no X display started in $state" >&2; exit 1; }
    DISPLAY=":$(cat "$state/display")" exec "$@"
    ;;
*) echo "unknown command $command" >&2; exit 1 ;;
esac
