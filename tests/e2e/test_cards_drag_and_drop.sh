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
drag_with_steps $(card_center 1) 700 300
wait_until 3 grep -qx "text:dragged text" "$WORK/dropped.txt" || fail "the peer got: $(cat "$WORK/dropped.txt" 2>/dev/null)"
panel_at 0 || fail "the panel retracted during the drag"
note "text card dragged out"

xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
drag_with_steps $(card_center 2) 700 300
wait_until 3 grep -qx "urls:file://$HOME/shot.png" "$WORK/dropped.txt" ||
    fail "the peer got: $(cat "$WORK/dropped.txt" 2>/dev/null)"
note "screenshot card dragged out as its file"

# Back: a file and then a text dragged from another program onto the panel.
xdotool mousemove 640 400
wait_until 3 panel_at -136 || fail "the panel did not retract"
png "$HOME/incoming.png" 90x60 orange
start_peer drag file "$HOME/incoming.png" 600 500
# To the screen edge, where the panel peeks, then into the strip it shows.
drag_with_steps 700 600 2 400 15 400 60 400
wait_until 3 stored_contains "screenshot:$HOME/incoming.png" || fail "the dropped file was not stored: $(stored_shelf)"
stored_shelf | tail -n1 | grep -qF "incoming.png" || fail "the dropped file is not on top"
panel_at 0 || fail "the panel is not shown after a drop"
note "file dropped in"

xdotool mousemove 640 400
wait_until 5 panel_at -136 || fail "the panel did not retract after the drop"
start_peer drag text "  dropped words  " 600 500
drag_with_steps 650 550 2 400 15 400 60 400
wait_until 3 stored_contains 'text:"  dropped words  "' || fail "the dropped text was not stored: $(stored_shelf)"

# Image data, not a file: kept byte for byte as a private PNG.
xdotool mousemove 640 400
wait_until 5 panel_at -136 || fail "the panel did not retract after the text drop"
png "$HOME/data.png" 70x50 purple
start_peer drag png "$HOME/data.png" 600 500
drag_with_steps 650 550 2 400 15 400 60 400
wait_until 3 stored_contains "screenshot:$TMPDIR/zorv-$(id -u)/" || fail "the dropped image was not stored: $(stored_shelf)"
kept=$(stored_shelf | tail -n1 | sed 's/^screenshot://')
cmp -s "$kept" "$HOME/data.png" || fail "the dropped image was not kept byte for byte: $kept"
zorv_running || fail "zorv ended"
