#!/usr/bin/env bash
# A web image dragged from a browser arrives as untyped bytes beside its
# http address; the bytes make an image card, kept byte for byte, and no
# address is fetched.
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
note "web image dropped as an image card"
zorv_running || fail "zorv ended"
