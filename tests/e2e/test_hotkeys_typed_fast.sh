#!/usr/bin/env bash
# Keys typed faster than Zorv reads them: x then 2 in one burst deletes the
# second card, and a hot key pressed while the panel slides out leaves
# nothing behind, so that in the next armed period a stray key still ends
# it at once: the keys are let go and the panel goes back.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf "fourth card" "third card" "second card" "first card"
start_zorv
wait_until 5 panel_window || fail "no panel window"
wait_until 5 stored_size_is 4 || fail "the shelf was not restored"

arm() {
    double_tap
    wait_until 2 panel_at 0 || fail "a double tap did not bring the panel out ($1): x=$(panel_x)"
}
# while_busy COMMAND...: runs the command while Zorv is held still, as a
# busy moment would, so that what it types waits to be read all at once.
while_busy() {
    kill -STOP "$ZORV_PID"
    "$@" || { kill -CONT "$ZORV_PID"; return 1; }
    kill -CONT "$ZORV_PID"
}
# can_grab X_KEYCODE: another client can grab the key now.
can_grab() {
    local log="$WORK/grab.$1.log" pid
    : >"$log"
    "$ZORV_TEST_HELPERS/key_grabber" "$1" >"$log" 2>&1 &
    pid=$!
    wait_until 2 test -s "$log"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    grep -qx grabbed "$log"
}

arm "for x then 2"
mark_store
while_busy xdotool key x 2
wait_until 2 store_rewritten || fail "x then 2 did not change the stored shelf"
wait_until 2 stored_size_is 3 || fail "x then 2 left $(stored_size) items"
[ "$(stored_shelf | tr '\n' ,)" = "text:fourth card,text:third card,text:first card," ] ||
    fail "x then 2 left the shelf as: $(stored_shelf | tr '\n' ,)"
[ "$(xclip -o -selection clipboard 2>/dev/null)" != "second card" ] || fail "x then 2 copied the second card"
wait_until 2 panel_at -136 || fail "the panel stayed out after the delete: x=$(panel_x)"
can_grab 11 || fail "2 stayed grabbed after the delete"
note "x then 2 in one burst deleted the second card"

# Each round presses 1 while Zorv is busy, then begins a new armed period
# with a t, which is no hot key.
for round in 1 2 3; do
    arm "for 1, round $round"
    while_busy xdotool key 1
    wait_until 2 test "$(xclip -o -selection clipboard 2>/dev/null)" = "first card" ||
        fail "1 did not copy the first card (round $round)"
    wait_until 2 panel_at -136 || fail "the panel stayed out after the copy (round $round): x=$(panel_x)"
    arm "for a stray key, round $round"
    xdotool key t
    wait_until 1 can_grab 43 || fail "h was still grabbed after a stray t (round $round)"
    wait_until 1 panel_at -136 || fail "the panel stayed out after a stray t (round $round): x=$(panel_x)"
done
note "a stray key ended every armed period that followed a hot key"
[ "$(stored_size)" = 3 ] || fail "the shelf changed: $(stored_shelf | tr '\n' ,)"
zorv_running || fail "zorv ended"
