#!/usr/bin/env bash
# The panel peeks when the pointer touches the left edge, slides fully out
# half a second later, and slides back after the pointer leaves.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf first second
start_zorv
wait_until 5 panel_window || fail "no panel window"
panel_at -136 || fail "the panel does not start hidden: x=$(panel_x)"
read -r _ y _ h < <(window_geometry "$(panel_window)")
[ "$y" = 175 ] && [ "$h" = 450 ] || fail "the panel is not vertically centred: y=$y h=$h"

xdotool mousemove 0 400
# The strip shows at once (on a loaded machine the slide may already go on).
wait_until 1.5 panel_out_to -102 || fail "no peek after touching the edge: x=$(panel_x)"
wait_until 2 panel_at 0 || fail "the panel did not slide fully out: x=$(panel_x)"
note "peeked and showed"

# Screenshot of the shown panel (root is black): background, rounded
# corner, outline and footer buttons, 175 px down the screen.
import -window root "$WORK/shown.png"
read -r r g b < <(pixel 60 400)
[ "$(brightness "$r" "$g" "$b")" -ge 15 ] && [ "$(brightness "$r" "$g" "$b")" -le 60 ] ||
    fail "panel background is $r,$g,$b"
read -r r g b < <(pixel 131 175)
[ "$(brightness "$r" "$g" "$b")" -le 8 ] || fail "top-right corner is not rounded: $r,$g,$b"
read -r r g b < <(pixel 60 176)
[ "$(brightness "$r" "$g" "$b")" -ge 60 ] || fail "no outline along the top: $r,$g,$b"
read -r r g b < <(pixel 84 607)
[ "$(brightness "$r" "$g" "$b")" -ge 70 ] || fail "no paste button: $r,$g,$b"
read -r r g b < <(pixel 48 607)
[ "$(brightness "$r" "$g" "$b")" -ge 30 ] || fail "no history button: $r,$g,$b"

# It stays out for the 0.6 s delay: every position read within 0.45 s of the
# pointer leaving must still be 0. The clock starts before the pointer
# moves, so a busy machine only leaves fewer reads; a read that ends later
# proves nothing.
left=$(date +%s%N)
xdotool mousemove 640 400
samples=0
while :; do
    x=$(panel_x)
    ms=$((($(date +%s%N) - left) / 1000000))
    [ "$ms" -lt 450 ] || break
    [ "$x" = 0 ] || fail "retracted before the delay: x=$x after $ms ms"
    samples=$((samples + 1))
done
[ "$samples" -gt 0 ] || note "too slow to read the panel within the retract delay"
wait_until 1.5 panel_at -136 || fail "the panel did not slide back: x=$(panel_x)"
note "retracted"

# A touch of the edge for a single poll peeks, then slides back: never out.
# One xdotool process makes the whole touch, ahead of other programs where
# it may, so that a busy machine does not stretch it; the pointer moves by a
# pixel at the edge, as a hand's would, so that zorv notices it there.
nice -n -10 xdotool mousemove 0 400 mousemove_relative 0 1 sleep 0.03 \
    mousemove 640 400 mousemove_relative 0 1 2>/dev/null
reached_out=no
for _ in $(seq 20); do
    [ "$(panel_x)" != 0 ] || reached_out=yes
    sleep 0.05
done
[ "$reached_out" = no ] || fail "a touch of the edge showed the whole panel"
wait_until 1 panel_at -136 || fail "after a touch the panel stayed at x=$(panel_x)"
