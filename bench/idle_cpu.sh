#!/usr/bin/env bash
# Idle cost: CPU time of Zorv, with a full shelf and the pointer away from
# the edge, over a measured interval, as a percentage of one core, and the
# hot-key manager's share alone.
#
#   bash bench/idle_cpu.sh build/zorv [seconds]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"
seconds=${2:-60}
ticks=$(getconf CLK_TCK)

# CPU ticks of a process and all its descendants.
cpu_ticks() {
    local total pid child
    total=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
    for child in $(ps -o pid= --ppid "$1"); do
        total=$((total + $(cpu_ticks "$child")))
    done
    echo "$total"
}

start_x
convert -size 1920x1080 gradient:navy-orange "$HOME/shot.png"
mkdir -p "$(dirname "$CONF")"
{
    echo "[General]"
    for i in 1 2 3 4 5; do
        if [ $((i % 2)) = 1 ]; then
            echo "zorv.shelf.items\\$i\\type=screenshot"
            echo "zorv.shelf.items\\$i\\url=$HOME/shot.png"
        else
            echo "zorv.shelf.items\\$i\\type=text"
            echo "zorv.shelf.items\\$i\\text=item $i"
        fi
    done
    echo "zorv.shelf.items\\size=5"
} >"$CONF"
xdotool mousemove 700 400
start_zorv

# The hot-key manager alone, on the same X server, for its share.
probe_pid=""
probe="$(dirname "$ZORV_BIN")/hotkey_probe"
if [ -x "$probe" ]; then
    "$probe" >"$WORK/probe.log" 2>&1 &
    probe_pid=$!
    STARTED_PIDS+=("$probe_pid")
fi

sleep 3 # let both finish starting

zorv_before=$(cpu_ticks "$ZORV_PID")
[ -n "$probe_pid" ] && probe_before=$(cpu_ticks "$probe_pid")
sleep "$seconds"
zorv_after=$(cpu_ticks "$ZORV_PID")
[ -n "$probe_pid" ] && probe_after=$(cpu_ticks "$probe_pid")

percent() { awk -v t="$1" -v hz="$ticks" -v s="$seconds" 'BEGIN { printf "%.3f", 100 * t / hz / s }'; }
echo "zorv idle CPU over ${seconds}s: $(percent $((zorv_after - zorv_before)))% of one core ($((zorv_after - zorv_before)) ticks)"
if [ -n "$probe_pid" ]; then
    echo "hot-key manager alone (60 Hz gesture poll) over ${seconds}s: $(percent $((probe_after - probe_before)))% of one core ($((probe_after - probe_before)) ticks)"
fi
echo "zorv resident memory: $(awk '/VmRSS/ { print $2, $3 }' "/proc/$ZORV_PID/status")"
