#!/usr/bin/env bash
# A Wayland program that offers the clipboard and never writes it does not
# stall the panel: while zorv's reads of it hang, the edge still peeks and
# the panel comes out, again and again. Nothing of it reaches the shelf, and
# the next copy is taken as usual.
# compositors: sway kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
source "$(dirname "$0")/wayland_clipboard.sh"

start_compositor
start_wayland_window
pointer to 900 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
# By the time the panel has been out and back, zorv's own Wayland
# connection knows the clipboard it started with; the hanging offer then
# counts as a change, which the watcher reads at once.
show_panel
hide_panel

"$ZORV_TEST_HELPERS/data_control_source" hang "never written" >"$WORK/hang.log" 2>&1 &
HANG=$!
STARTED_PIDS+=("$HANG")
wait_until 2 grep -q ready "$WORK/hang.log" || fail "the hanging source did not start: $(cat "$WORK/hang.log")"
requests() { grep -c '^asked' "$WORK/hang.log"; }
more_requests_than() { [ "$(requests)" -gt "$1" ]; }
wait_until 2 more_requests_than 0 || fail "zorv never asked the hanging source for the clipboard"

for round in 1 2 3; do
    asked=$(requests)
    pointer glide 0 400 8 15
    wait_until 1 panel_out_to -102 || fail "round $round: no peek at the edge while the source hangs: x=$(panel_x)"
    wait_until 2 panel_at 0 || fail "round $round: the panel did not come out: x=$(panel_x)"
    press_paste
    wait_until 2 more_requests_than "$asked" || fail "round $round: zorv stopped asking the clipboard"
    hide_panel
done
note "the edge peeked and showed the panel while $(requests) requests hung"

kill "$HANG"
wait "$HANG" 2>/dev/null || true
[ "$(stored_size)" = 0 ] || fail "the hanging source's clipboard reached the shelf: $(stored_shelf)"
wl-copy --foreground "after the hang" >"$WORK/wl-copy.log" 2>&1 &
STARTED_PIDS+=($!)
show_panel
wait_until 3 paste_lit || fail "the copy after the hang did not fill the clipboard slot"
press_paste
wait_until 3 stored_contains "text:after the hang" || fail "the copy after the hang was not taken: $(stored_shelf)"
stored_size_is 1 || fail "the hanging source's clipboard reached the shelf: $(stored_shelf)"
zorv_running || fail "zorv ended"
