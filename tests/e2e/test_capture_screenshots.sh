#!/usr/bin/env bash
# New screenshots in Pictures/Screenshots reach the shelf and peek the panel.
source "$(dirname "$0")/lib.sh"

start_x
mkdir -p "$SHOTS"
png "$SHOTS/old.png"
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel"
sleep 0.5

png "$WORK/a.png"
mv "$WORK/a.png" "$SHOTS/Screenshot 1.png"
wait_until 1.5 panel_at -102 || fail "no peek after a new screenshot: x=$(panel_x)"
wait_until 1 stored_contains "screenshot:$SHOTS/Screenshot 1.png" || fail "not stored: $(stored_shelf)"
stored_contains "old.png" && fail "a file present at launch was added"
wait_until 2.5 panel_at -136 || fail "the peek did not end: x=$(panel_x)"
note "screenshot peeked and was stored"

# Written in two steps: empty first, data half a second later.
: >"$SHOTS/Screenshot 2.png"
sleep 0.5
png "$WORK/b.png"
cat "$WORK/b.png" >"$SHOTS/Screenshot 2.png"
wait_until 2 stored_contains "screenshot:$SHOTS/Screenshot 2.png" || fail "two-step file not stored: $(stored_shelf)"

# Seven in a row: the five newest stay, the history button lights up.
for i in 3 4 5 6 7 8 9; do
    png "$WORK/$i.png" 64x48 blue
    mv "$WORK/$i.png" "$SHOTS/Screenshot $i.png"
    sleep 0.15
done
wait_until 3 stored_contains "Screenshot 9.png" || fail "the last of seven was not stored"
[ "$(stored_size)" = 5 ] || fail "store holds $(stored_size) entries"
stored_contains "Screenshot 4.png" && fail "an evicted screenshot is still stored"
sleep 2
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
read -r r g b < <(pixel 48 607)
[ "$(brightness "$r" "$g" "$b")" -ge 110 ] || fail "the history button is not lit: $r,$g,$b"
zorv_running || fail "zorv ended"
