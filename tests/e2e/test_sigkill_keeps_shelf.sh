#!/usr/bin/env bash
# A SIGKILL right after an add loses nothing: the next launch restores it.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf 1 2 3
xdotool mousemove 640 400
start_zorv
wait_until 10 store_rewritten || fail "the restore did not rewrite the store"

printf 'added just before the kill' >"$WORK/text.txt"
set_clipboard -i "$WORK/text.txt"
sleep 0.5
click_footer_button "$PASTE_BUTTON"
# Kill the moment the add is visible in the file.
wait_until 3 stored_contains "text:added just before the kill" || fail "the paste was not stored"
kill -KILL "$ZORV_PID"
# The lock counts as stale once the killed process is gone, not while it is
# still being torn down; on a busy machine that takes a moment.
zorv_exit_status 5 >/dev/null || fail "the killed zorv did not end"
expected=$'text:1\ntext:2\ntext:3\ntext:added just before the kill'
[ "$(stored_shelf)" = "$expected" ] || fail "after SIGKILL the store holds $(stored_shelf)"

start_zorv
wait_until 5 panel_window || fail "the relaunch after SIGKILL shows no panel (stale lock?)"
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the relaunched panel did not come out"
cards_shown() {
    local slot
    for slot in 1 2 3 4; do
        card_shown "$slot" || return 1
    done
}
wait_until 2 cards_shown || true
for slot in 1 2 3 4; do
    card_shown "$slot" || fail "slot $slot is empty after the relaunch"
done
card_shown 5 && fail "a fifth card appeared from nowhere"
[ "$(stored_shelf)" = "$expected" ] || fail "the relaunch stored $(stored_shelf)"
