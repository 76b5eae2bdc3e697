#!/usr/bin/env bash
# Zorv's cost at rest and its worst stalls, every figure in one run:
#   wake-ups per second and idle CPU at rest (full shelf, pointer still),
#   resident memory with five 3840 x 2160 screenshots,
#   launch to first peek with those five stored and the pointer at the edge,
#   main-thread CPU after one click on a 4K card, and while another program
#   pastes it as image/png, and the renamed-in 4K PNG to stored latency.
#
#   bash bench/frugal.sh build/zorv [idle seconds]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"
seconds=${2:-30}
hz=$(getconf CLK_TCK)
BUILD=$(dirname "$ZORV_BIN")

# Voluntary context switches of every thread of a process and its children,
# one line per thread: each time a thread sleeps and is woken counts one.
# Involuntary ones are preemptions of a running thread by other programs'
# work on these cores, not wake-ups, and are left out.
thread_switches() {
    local pid=$1 task child
    for task in /proc/"$pid"/task/*; do
        awk -v t="${task##*/}" '/^voluntary_ctxt_switches/ { n += $2 } END { print t, n }' "$task/status" 2>/dev/null || true
    done
    for child in $(ps -o pid= --ppid "$pid"); do
        thread_switches "$child"
    done
}
# Wake-ups between two such lists: threads that ended in between are left
# out (an idle thread-pool thread ends after 30 s), new threads count whole.
switches_between() {
    awk 'NR == FNR { before[$1] = $2; next } { n += $2 - ($1 in before ? before[$1] : 0) } END { print n + 0 }' "$1" "$2"
}
cpu_ticks() {
    local total pid=$1 child
    total=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
    for child in $(ps -o pid= --ppid "$pid"); do
        total=$((total + $(cpu_ticks "$child")))
    done
    echo "$total"
}
# CPU time of the main thread alone, in nanoseconds.
main_ns() { awk '{ print $1 }' "/proc/$1/task/$1/schedstat"; }
ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }

start_x
for i in 1 2 3 4 5; do
    convert -size 640x360 -seed "$i" xc: +noise Random -scale 3840x2160 "PNG24:$HOME/shot$i.png"
done
seed_items "screenshot:$HOME/shot1.png" "screenshot:$HOME/shot2.png" "screenshot:$HOME/shot3.png" \
    "screenshot:$HOME/shot4.png" "screenshot:$HOME/shot5.png"

# launch LABEL: starts zorv with the pointer resting at the edge and prints
# the time to the first peek and the CPU of all its threads in its first 3 s.
launch() {
    command xdotool mousemove 0 500
    local launched ticks
    launched=$(date +%s%N)
    start_zorv
    wait_until 10 panel_out_to -135 || fail "no peek"
    echo "zorv, $1: $(ms_since "$launched") ms to the first peek (command: time from exec to the panel leaving x = -136, by xwininfo)"
    sleep $((3 - ($(date +%s%N) - launched) / 1000000000))
    ticks=$(cpu_ticks "$ZORV_PID")
    echo "zorv, $1: $((ticks * 1000 / hz)) ms of CPU, all threads, in its first 3 s (the restore's decoding; command: utime+stime of /proc/PID/stat)"
}

echo "== launch to first peek (five 3840 x 2160 screenshots stored, pointer resting at the edge)"
launch "cold thumbnail cache"

echo "== at rest: full shelf, pointer still, $seconds s"
xdotool mousemove 900 500
sleep 6
thread_switches "$ZORV_PID" >"$WORK/zorv.before"
zorv_t0=$(cpu_ticks "$ZORV_PID")
sleep "$seconds"
report_rest() {
    local who=$1 pid=$2 label=$3 t0=$zorv_t0
    thread_switches "$pid" >"$WORK/$who.after"
    awk -v s="$(switches_between "$WORK/$who.before" "$WORK/$who.after")" -v t=$(($(cpu_ticks "$pid") - t0)) -v hz="$hz" -v d="$seconds" -v l="$label" \
        'BEGIN { printf "%s: %.2f wake-ups/s, %.3f %% of one core\n", l, s / d, 100 * t / hz / d }'
}
report_rest zorv "$ZORV_PID" "zorv (all threads, its hot-key manager running)"
echo "(command: voluntary_ctxt_switches of /proc/PID/task/*/status and utime+stime of /proc/PID/stat over the interval)"

echo "== resident memory, five 3840 x 2160 screenshots on the shelf"
echo "zorv: $(($(awk '/VmRSS/ { print $2 }' "/proc/$ZORV_PID/status") / 1024)) MiB  (command: VmRSS of /proc/PID/status)"

echo "== one click on a 4K screenshot card"
xdotool mousemove 0 400
wait_until 3 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
xdotool mousemove $(card_center 1)
sleep 1
before=$(main_ns "$ZORV_PID")
sleep 2
idle_ms=$((($(main_ns "$ZORV_PID") - before) / 1000000))
before=$(main_ns "$ZORV_PID")
# shellcheck disable=SC2046
xdotool mousemove $(card_center 1) click 1
sleep 2 # the click, its flash and the clipboard slot's read of it
click_ms=$((($(main_ns "$ZORV_PID") - before) / 1000000))
echo "zorv main thread: $click_ms ms of CPU in the 2 s after the click, $idle_ms ms in 2 s with the pointer resting on the card before it: $((click_ms - idle_ms)) ms for the click (command: /proc/PID/task/PID/schedstat)"

echo "== another program pastes that card as image/png"
before=$(main_ns "$ZORV_PID")
start=$(date +%s%N)
command xclip -o -selection clipboard -t image/png >"$WORK/pasted.png"
echo "paste took $(ms_since "$start") ms; zorv main thread: $((($(main_ns "$ZORV_PID") - before) / 1000000)) ms of CPU (command: xclip -o -t image/png, schedstat)"
diff=$(compare -metric AE "$HOME/shot5.png" "$WORK/pasted.png" null: 2>&1 || true)
echo "pasted image differs from the file in $diff pixels"

echo "== renamed-in 3840 x 2160 PNG to stored"
if [ -x "$BUILD/bench_screenshot_latency" ]; then
    QT_QPA_PLATFORM=offscreen "$BUILD/bench_screenshot_latency" 2>/dev/null | sed 's/^/zorv: /'
    echo "(command: $BUILD/bench_screenshot_latency)"
fi

echo "== launch again, the thumbnail cache now warm"
echo "thumbnails in the cache: $(find "$XDG_CACHE_HOME/thumbnails/large" -name '*.png' -perm 0600 | wc -l) files of mode 0600 (command: find \$XDG_CACHE_HOME/thumbnails/large -perm 0600)"
kill -TERM "$ZORV_PID"
zorv_exit_status 5 >/dev/null || fail "zorv did not quit"
launch "warm thumbnail cache"
