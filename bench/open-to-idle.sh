#!/usr/bin/env bash
# Opens a file in each program given, as a user would, under a virtual X
# display with a window manager, and tells for each run how long the process
# took from its start until it went idle (under 10 ms of processor time in
# one second), the processor time it used, and its resident memory then.
# Programs take turns, so that the machine's load falls on all alike.
#
#   bench/open-to-idle.sh FILE RUNS PROGRAM...
#
# A PROGRAM is a command that takes the file to open as its last argument.
# Each run has a home folder of its own, so that no settings carry over.
# The generated files of the benchmarks are written by
# `scrivlet_bench --write-data DIR`.
set -euo pipefail

file=${1:?usage: open-to-idle.sh FILE RUNS PROGRAM...}
runs=${2:?usage: open-to-idle.sh FILE RUNS PROGRAM...}
shift 2
[ $# -gt 0 ] || { echo "usage: open-to-idle.sh FILE RUNS PROGRAM..." >&2; exit 2; }

display_script=$(cd "$(dirname "$0")/../tests" && pwd)/x11-display.sh
state=$(mktemp -d)
trap '"$display_script" stop "$state/display" 2>/dev/null || true; rm -rf "$state"' EXIT
"$display_script" start "$state/display"

# The sampling below starts no process of its own, so that it takes no
# processor time from the program measured: times come from bash, waits from
# a FIFO that is never written.
mkfifo "$state/tick"
exec {tick}<>"$state/tick"
pause() { read -r -t 0.01 -u "$tick" _ || true; }
now_us() { now=${EPOCHREALTIME//[!0-9]/}; }

# Processor time of process $1 in nanoseconds into cpu, from the scheduler:
# the sum over its threads, each at the last value seen, so that threads that
# have ended still count. Fails once the process is gone.
declare -A seen
read_cpu() {
    local task ns _
    [ -d "/proc/$1/task" ] || return 1
    for task in /proc/"$1"/task/*/schedstat; do
        read -r ns _ <"$task" 2>/dev/null && seen[$task]=$ns
    done
    cpu=0
    for ns in "${seen[@]}"; do cpu=$((cpu + ns)); done
}

# Idle: less than 10 ms of processor time in the last second (a blinking
# caret costs far less). The run's time is where that second began.
measure() {
    local program=$1 home pid start rss i=0
    local -a times=() cpus=()
    seen=()
    home=$(mktemp -d "$state/home.XXXX")
    now_us
    start=$now
    # shellcheck disable=SC2086 # a program may be a command with arguments
    HOME=$home XDG_CONFIG_HOME=$home/config "$display_script" run "$state/display" \
        $program "$file" >/dev/null 2>&1 &
    pid=$!
    while read_cpu "$pid" 2>/dev/null; do
        now_us
        times+=("$now")
        cpus+=("$cpu")
        while [ $((now - times[i])) -gt 1000000 ]; do i=$((i + 1)); done
        if [ $((now - times[0])) -gt 1000000 ] && [ $((cpu - cpus[i])) -lt 10000000 ]; then
            rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
            printf '%-12s idle after %5d ms, %5d ms of processor time, %4d MiB resident\n' \
                "$(basename "${program%% *}")" $(((times[i] - start) / 1000)) \
                $((cpus[i] / 1000000)) $((rss / 1024))
            break
        fi
        if [ $((now - start)) -ge 120000000 ]; then
            echo "$(basename "${program%% *}"): not idle after two minutes"
            break
        fi
        pause
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

for _ in $(seq "$runs"); do
    for program in "$@"; do
        measure "$program"
    done
done
