#!/usr/bin/env bash
# A double tap of the leader made while Zorv is held still counts by when
# its keys went down and up, not by when Zorv got round to reading them.
source "$(dirname "$0")/lib.sh"

start_x
start_zorv
wait_until 5 panel_window || fail "no panel window"

# tap_leader [XDOTOOL COMMANDS...]: those commands, then one tap of Alt + Super.
tap_leader() { nice -n -10 xdotool "$@" keydown alt super sleep 0.15 keyup alt super 2>/dev/null; }
armed_then_escape() {
    wait_until 2 panel_at 0 || fail "$1: x=$(panel_x)"
    xdotool key Escape
    wait_until 2 panel_at -136 || fail "Escape did not take the panel back: x=$(panel_x)"
}

# Stalled for half a second across the first tap, then the second at once.
kill -STOP "$ZORV_PID"
tap_leader sleep 0.3
kill -CONT "$ZORV_PID"
tap_leader
armed_then_escape "a first tap made while Zorv was stalled was lost"

# Stalled across the whole double tap.
kill -STOP "$ZORV_PID"
tap_leader sleep 0.1 keydown alt super sleep 0.15 keyup alt super sleep 0.15
kill -CONT "$ZORV_PID"
armed_then_escape "a double tap made while Zorv was stalled did not arm"
note "taps made while Zorv was stalled counted"
