#!/usr/bin/env bash
# Cards drag out to another program as text and as a file URL; a file and
# a text dragged in from another program land on top of the shelf.
source "$(dirname "$0")/lib.sh"

start_x
png "$HOME/shot.png" 120x80 green
seed_items "screenshot:$HOME/shot.png" "text:dragged text"
xdotool mousemove 640 400
start_zorv
start_peer drop "$WORK/dropped.txt" 600 200

xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
drag_press $(card_center 1)
drag_to 700 300
sleep 0.7 # longer than the panel waits before it retracts from a pointer away
panel_at 0 || fail "the panel retracted during the drag: x=$(panel_x)"
drag_release
wait_until 3 grep -qx "text:dragged text" "$WORK/dropped.txt" || fail "the peer got: $(cat "$WORK/dropped.txt" 2>/dev/null)"
note "text card dragged out"

xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
drag_with_steps $(card_center 2) 700 300
wait_until 3 grep -qx "urls:file://$HOME/shot.png" "$WORK/dropped.txt" ||
    fail "the peer got: $(cat "$WORK/dropped.txt" 2>/dev/null)"
note "screenshot card dragged out as its file"

# drag_in_from X Y: drags what the peer offers at X, Y to the screen edge,
# where the panel peeks, into the strip it shows, and onto the panel.
drag_in_from() {
    drag_press "$1" "$2"
    drag_to 2 400
    wait_until 2 panel_out_to -102 || fail "the drag at the edge did not make the panel peek: x=$(panel_x)"
    drag_to 15 400
    wait_until 2 panel_at 0 || fail "the drag in the strip did not bring the panel out: x=$(panel_x)"
    drag_to 60 400
    drag_release
}

# Back: a file and then a text dragged from another program onto the panel.
xdotool mousemove 640 400
wait_until 3 panel_at -136 || fail "the panel did not retract"
png "$HOME/incoming.png" 90x60 orange
start_peer drag file "$HOME/incoming.png" 600 500
drag_in_from 700 600
wait_until 3 stored_contains "screenshot:$HOME/incoming.png" || fail "the dropped file was not stored: $(stored_shelf)"
stored_shelf | tail -n1 | grep -qF "incoming.png" || fail "the dropped file is not on top"
panel_at 0 || fail "the panel is not shown after a drop"
note "file dropped in"

xdotool mousemove 640 400
wait_until 5 panel_at -136 || fail "the panel did not retract after the drop"
start_peer drag text "  dropped words  " 600 500
drag_in_from 650 550
wait_until 3 stored_contains 'text:"  dropped words  "' || fail "the dropped text was not stored: $(stored_shelf)"

# Image data, not a file: kept byte for byte as a private PNG.
xdotool mousemove 640 400
wait_until 5 panel_at -136 || fail "the panel did not retract after the text drop"
png "$HOME/data.png" 70x50 purple
start_peer drag png "$HOME/data.png" 600 500
drag_in_from 650 550
wait_until 3 stored_contains "screenshot:$TMPDIR/zorv-$(id -u)/" || fail "the dropped image was not stored: $(stored_shelf)"
kept=$(stored_shelf | tail -n1 | sed 's/^screenshot://')
cmp -s "$kept" "$HOME/data.png" || fail "the dropped image was not kept byte for byte: $kept"
zorv_running || fail "zorv ended"
