#!/usr/bin/env bash
# Opens a file in each program given, as a user would, under a virtual X
# display with a window manager, and tells for each run how long the process
# took from its start until it went idle (no processor time for one second),
# the processor time it used, and its resident memory then. Programs take
# turns, so that the machine's load falls on all alike.
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

# Processor time of process pid in nanoseconds, from the scheduler: the sum
# over its threads, so that work moved off the main thread still counts.
cpu_ns() {
    local total=0 ns _ task
    [ -d "/proc/$1/task" ] || return 1
    for task in /proc/"$1"/task/*/schedstat; do
        read -r ns _ <"$task" 2>/dev/null && total=$((total + ns))
    done
    echo "$total"
}
# Processor time of the whole process in milliseconds, ended threads
# included, from its user and system times (in clock ticks).
process_cpu_ms() {
    awk -v tick="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); print int(($12 + $13) * 1000 / tick) }' \
        "/proc/$1/stat"
}
now_ns() { date +%s%N; }

# Idle: less than 10 ms of processor time in the last second (a blinking
# caret costs far less). The run's time is where that second began.
measure() {
    local program=$1 home pid start now cpu rss used i=0
    local -a times=() cpus=()
    home=$(mktemp -d "$state/home.XXXX")
    start=$(now_ns)
    # shellcheck disable=SC2086 # a program may be a command with arguments
    HOME=$home XDG_CONFIG_HOME=$home/config "$display_script" run "$state/display" \
        $program "$file" >/dev/null 2>&1 &
    pid=$!
    while cpu=$(cpu_ns "$pid" 2>/dev/null); do
        now=$(now_ns)
        times+=("$now")
        cpus+=("$cpu")
        while [ $((now - times[i])) -gt 1000000000 ]; do i=$((i + 1)); done
        if [ $((now - times[0])) -gt 1000000000 ] && [ $((cpu - cpus[i])) -lt 10000000 ]; then
            rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
            used=$(process_cpu_ms "$pid" 2>/dev/null || echo 0)
            printf '%-12s idle after %5d ms, %5d ms of processor time, %4d MiB resident\n' \
                "$(basename "${program%% *}")" $(((times[i] - start) / 1000000)) \
                "$used" $((rss / 1024))
            break
        fi
        if [ $((now - start)) -ge 120000000000 ]; then
            echo "$(basename "${program%% *}"): not idle after two minutes"
            break
        fi
        sleep 0.01
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

for _ in $(seq "$runs"); do
    for program in "$@"; do
        measure "$program"
    done
done
