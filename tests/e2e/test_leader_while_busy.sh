#!/usr/bin/env bash
# A double tap of the leader made while Zorv is held still counts by when
# its keys went down and up, not by when Zorv got round to reading them.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf "second card" "first card"
start_zorv
wait_until 5 panel_window || fail "no panel window"
wait_until 5 stored_size_is 2 || fail "the shelf was not restored"

# tap_leader [XDOTOOL COMMANDS...]: those commands, then one tap of Alt + Super.
tap_leader() { nice -n -10 xdotool "$@" keydown alt super sleep 0.15 keyup alt super 2>/dev/null; }
disarm() {
    xdotool key Escape
    wait_until 2 panel_at -136 || fail "Escape did not take the panel back ($1): x=$(panel_x)"
}

# Zorv stalls for half a second across the first tap, then the second tap
# follows at once.
kill -STOP "$ZORV_PID"
tap_leader sleep 0.3
kill -CONT "$ZORV_PID"
tap_leader
wait_until 2 panel_at 0 || fail "a first tap made while Zorv was stalled was lost: x=$(panel_x)"
note "a tap made during a stall still counted"
disarm "after the first case"

# The whole double tap happens while Zorv is held still.
kill -STOP "$ZORV_PID"
tap_leader sleep 0.1 keydown alt super sleep 0.15 keyup alt super sleep 0.15
kill -CONT "$ZORV_PID"
wait_until 2 panel_at 0 || fail "a double tap made while Zorv was stalled did not arm: x=$(panel_x)"
note "a double tap made during a stall armed"
disarm "after the second case"
