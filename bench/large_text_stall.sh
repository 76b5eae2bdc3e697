#!/usr/bin/env bash
# How long the main thread is held by a later shelf change while a large text
# sits on the shelf: the stored shelf is written, and read back, whole.
#   bash bench/large_text_stall.sh build/zorv [KiB ...]
# Prints per size the longest run of at least 80 % of a core on zorv's main
# thread (sampled every 0.1 s) after a small text is pasted, and the main
# thread's CPU time for it. Anything near 0.1 s or more is a visible freeze.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export ZORV_TEST_HELPERS=${ZORV_TEST_HELPERS:-$(dirname "$(readlink -f "$1")")}
binary=$1
shift
sizes=(1 1024 10240 51200)
[ "$#" -eq 0 ] || sizes=("$@")
set -- "$binary"
source "$here/../tests/e2e/lib.sh"

# Samples the main thread's CPU ticks until zorv ends.
sample_main_thread() {
    while kill -0 "$ZORV_PID" 2>/dev/null; do
        echo "$(date +%s%N) $(awk '{ print $14 + $15 }' "/proc/$ZORV_PID/task/$ZORV_PID/stat")"
        sleep 0.1
    done
}

# The longest busy run and the CPU seconds in a sample file.
busy_summary() {
    awk 'NR == 1 { first = $2 }
         NR > 1 { dt = ($1 - t) / 1e9; busy = ($2 - c) / 100 / dt > 0.8
                  if (busy) run += dt; else { if (run > longest) longest = run; run = 0 } }
         { t = $1; c = $2 }
         END { if (run > longest) longest = run; printf "%.1f s busy, %.2f s of CPU", longest, ($2 - first) / 100 }' "$1"
}

zorv_ended() { ! zorv_running; }

start_x
xdotool mousemove 640 400
echo "size_kib longest_busy_run_and_cpu"
for kib in "${sizes[@]}"; do
    rm -f "$CONF"
    start_zorv
    wait_until 5 panel_window || fail "no panel"
    head -c $((kib * 1024)) /dev/zero | tr '\0' 'q' >"$WORK/large.txt"
    set_clipboard -i "$WORK/large.txt"
    click_footer_button "$PASTE_BUTTON"
    xdotool mousemove 640 400
    wait_until 60 stored_size_is 1 || fail "the large text was not stored"
    sleep 1
    printf 'small' >"$WORK/small.txt"
    set_clipboard -i "$WORK/small.txt"
    sample_main_thread >"$WORK/cpu.$kib" &
    click_footer_button "$PASTE_BUTTON"
    xdotool mousemove 640 400
    wait_until 60 stored_size_is 2 || fail "the small text was not stored"
    sleep 1
    kill "$ZORV_PID"
    wait_until 10 zorv_ended || fail "zorv did not quit"
    echo "$kib $(busy_summary "$WORK/cpu.$kib")"
done
