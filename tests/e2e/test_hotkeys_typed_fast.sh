#!/usr/bin/env bash
# Keys that wait while Zorv is busy are handled in the order typed: x then 2
# deletes the second card.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf "fourth card" "third card" "second card" "first card"
start_zorv
wait_until 5 stored_size_is 4 || fail "the shelf was not restored"
# while_busy COMMAND...: Zorv is held still meanwhile, so what is typed waits to be read at once.
while_busy() { kill -STOP "$ZORV_PID"; "$@"; kill -CONT "$ZORV_PID"; }

double_tap
wait_until 2 panel_at 0 || fail "a double tap did not bring the panel out: x=$(panel_x)"
while_busy xdotool key x 2
wait_until 2 stored_size_is 3 || fail "x then 2 left $(stored_size) items"
[ "$(stored_shelf | tr '\n' ,)" = "text:fourth card,text:third card,text:first card," ] ||
    fail "x then 2 left the shelf as: $(stored_shelf | tr '\n' ,)"
wait_until 2 panel_at -136 || fail "the panel stayed out after the delete: x=$(panel_x)"
note "x then 2, read at once, deleted the second card"
