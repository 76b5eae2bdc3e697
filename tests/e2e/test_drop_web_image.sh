#!/usr/bin/env bash
# A web image dragged from a browser arrives as untyped bytes beside its
# http address; the bytes make an image card, kept byte for byte, and no
# address is fetched. Untyped bytes that cannot make an image (a header for
# more pixels than may be decoded) add nothing, and the source hears that
# its drop was refused.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf "already here"
xdotool mousemove 640 400
start_zorv

png "$HOME/cat.png" 90x60 orange
start_peer drag web-image "$HOME/cat.png" 600 500
drag_with_steps 650 550 2 400 15 400 60 400
wait_until 5 stored_contains "screenshot:$TMPDIR/zorv-$(id -u)/" || fail "no image card was stored: $(stored_shelf)"
kept=$(stored_shelf | tail -n1 | sed 's/^screenshot://')
cmp -s "$kept" "$HOME/cat.png" || fail "the web image was not kept byte for byte: $kept"
stored_contains "text:http://" && fail "the image's address was stored as well: $(stored_shelf)"
wait_until 3 grep -qx "drag ended: copied" "$WORK/peer.log" || fail "the browser's drag did not end as copied: $(cat "$WORK/peer.log")"
note "web image dropped as an image card"

peer=${STARTED_PIDS[-1]}
kill "$peer"
wait_until 5 sh -c '! xdotool search --onlyvisible --name "dnd peer"' || fail "the first peer did not close"
xdotool mousemove 640 400
wait_until 5 panel_at -136 || fail "the panel did not retract after the drop"
printf 'P5\n30000 30000\n255\n' >"$HOME/huge.pgm"
start_peer drag untyped "$HOME/huge.pgm" 600 500
drag_with_steps 650 550 2 400 15 400 60 400
wait_until 5 grep -qx "drag ended: refused" "$WORK/peer.log" || fail "the drop was not refused: $(cat "$WORK/peer.log")"
[ "$(stored_size)" = 2 ] || fail "the refused drop changed the shelf: $(stored_shelf)"
zorv_running || fail "zorv ended"
