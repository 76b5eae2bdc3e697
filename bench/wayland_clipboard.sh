#!/usr/bin/env bash
# Zorv in a sway session, native Wayland window focused:
#   wake-ups per second at rest (data-control connection open, shelf empty),
#   and the time from wl-copy to the clipboard slot filling (the paste
#   button lighting up), over a few copies.
#
#   bash bench/wayland_clipboard.sh build/zorv [idle seconds] [copies]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"
source "$(dirname "$0")/../tests/e2e/wayland.sh"
source "$(dirname "$0")/../tests/e2e/wayland_clipboard.sh"
seconds=${2:-30}
copies=${3:-5}
ZORV_TEST_HELPERS=${ZORV_TEST_HELPERS:-$(dirname "$ZORV_BIN")}

# Voluntary context switches of each thread of zorv, one "tid count" line
# per thread: each time a thread sleeps and is woken counts one. Between
# two lists, threads that ended are left out and new ones count whole (as
# in frugal.sh).
switches() {
    local task
    for task in /proc/"$ZORV_PID"/task/*; do
        awk -v t="${task##*/}" '/^voluntary_ctxt_switches/ { n += $2 } END { print t, n }' "$task/status" 2>/dev/null || true
    done
}

start_compositor
start_wayland_window
pointer to 900 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
sleep 3 # launch settles
switches >"$WORK/before"
sleep "$seconds"
switches >"$WORK/after"
awk -v s="$seconds" 'NR == FNR { before[$1] = $2; next } { n += $2 - ($1 in before ? before[$1] : 0) }
    END { printf "idle wake-ups: %.2f per second over %d s\n", n / s, s }' "$WORK/before" "$WORK/after"

show_panel
for i in $(seq "$copies"); do
    press_paste # empties the slot
    wait_until 2 not paste_lit || true
    start=$(now_ms)
    wl-copy "copy $i $RANDOM" >/dev/null 2>&1
    wait_until 5 paste_lit || fail "copy $i did not fill the slot"
    echo "wl-copy to slot: $(($(now_ms) - start)) ms"
done
