#!/usr/bin/env bash
# A card pushed off a full shelf by a new screenshot while it is being
# dragged still delivers its drag, and afterwards the panel retracts when
# the pointer leaves, as it does after any drag.
source "$(dirname "$0")/lib.sh"

start_x
mkdir -p "$SHOTS"
seed_shelf "oldest card" second third fourth fifth
xdotool mousemove 640 400
start_zorv
start_peer drop "$WORK/dropped.txt" 600 200

xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# Press on the bottom card, the one the next item pushes out, and pull it
# out of the panel in small steps, as XDND needs.
read -r x y < <(card_center 5)
xdotool mousemove "$x" "$y"
sleep 0.1
xdotool mousedown 1
sleep 0.1
for i in $(seq 1 12); do
    xdotool mousemove $((x + (400 - x) * i / 12)) "$y"
    sleep 0.06
done

png "$WORK/new.png" 64x48 blue
mv "$WORK/new.png" "$SHOTS/Screenshot new.png"
wait_until 5 stored_contains "screenshot:$SHOTS/Screenshot new.png" || fail "the new screenshot was not stored"
stored_contains "text:oldest card" && fail "the dragged card was not pushed out: $(stored_shelf)"
sleep 0.5 # past the pushed-out card's fade
note "the dragged card was pushed out during its drag"

for i in $(seq 1 12); do
    xdotool mousemove $((400 + 300 * i / 12)) $((y + (300 - y) * i / 12))
    sleep 0.06
done
sleep 0.3
xdotool mouseup 1
wait_until 3 grep -qx "text:oldest card" "$WORK/dropped.txt" ||
    fail "the drag did not deliver the card: $(cat "$WORK/dropped.txt" 2>/dev/null)"
note "the drag ended with a drop"

xdotool mousemove 640 600
wait_until 3 panel_at -136 || fail "the panel stayed out after the drag: x=$(panel_x)"
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out again: x=$(panel_x)"
xdotool mousemove 640 600
wait_until 3 panel_at -136 || fail "the panel stayed out after the pointer left: x=$(panel_x)"
zorv_running || fail "zorv ended"
