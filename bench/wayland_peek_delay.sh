#!/usr/bin/env bash
# How long the panel takes to react when the cursor reaches the left edge
# over a native Wayland window, under a headless compositor (sway unless
# ZORV_COMPOSITOR names another) with zorv on XWayland.
#   bash bench/wayland_peek_delay.sh build/zorv [rounds]
# Prints per round the time until the panel starts to move and until the
# 30-point strip shows (which includes the slide), in milliseconds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export ZORV_TEST_HELPERS=${ZORV_TEST_HELPERS:-$(dirname "$(readlink -f "$1")")}
rounds=${2:-10}
set -- "$1"
source "$here/../tests/e2e/lib.sh"
source "$here/../tests/e2e/wayland.sh"

start_compositor
start_wayland_window
pointer to 640 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
panel=$(panel_window)
x_of_panel() { xwininfo -id "$panel" | awk '/Absolute upper-left X/ { print $4 }'; }

echo "round moving_ms strip_ms"
for round in $(seq "$rounds"); do
    pointer glide 200 400 4 15
    wait_until 3 panel_at -136 || fail "the panel did not go back"
    sleep 0.3
    pointer to 0 400
    start=$(now_ms)
    moving="" strip=""
    while [ -z "$strip" ]; do
        x=$(x_of_panel)
        now=$(now_ms)
        [ -n "$moving" ] || [ "$x" -le -136 ] || moving=$((now - start))
        [ "$x" -lt -102 ] || strip=$((now - start))
        [ $((now - start)) -lt 3000 ] || fail "no peek in round $round"
    done
    echo "$round $moving $strip"
    wait_until 2 panel_at 0 || fail "the panel did not come out in round $round"
done
