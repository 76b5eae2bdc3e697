#!/usr/bin/env bash
# Two monitors, the right one 400 px lower: the left side of the left one is
# an edge, the boundary between them is not, and the right one's left side
# is an edge only below the left monitor. The panel comes out on the monitor
# whose edge the pointer rests at, and never stays in sight on the other.
source "$(dirname "$0")/lib.sh"

start_x 2560x1200x24
# The left monitor takes the server's one output, which drops the monitor
# that spanned the whole screen; Qt then reports the two as its screens.
xrandr --setmonitor left 1280/338x800/211+0+0 screen >/dev/null
xrandr --setmonitor right 1280/338x800/211+1280+400 none
xrandr --output screen --primary
xdotool mousemove 1900 700
start_zorv
wait_until 5 panel_window || fail "no panel window"
panel_at -136 || fail "the panel does not start hidden: x=$(panel_x)"

panel_y() { read -r _ y _ _ < <(window_geometry "$(panel_window)") && echo "$y"; }
panel_at_xy() { [ "$(panel_x)" = "$1" ] && [ "$(panel_y)" = "$2" ]; }

# The boundary, where the left monitor is beside the right one: no peek, no
# slide, during the hold's half second and well past it.
xdotool mousemove 1280 600
for _ in $(seq 30); do
    panel_at -136 || fail "the boundary moved the panel: x=$(panel_x)"
    sleep 0.05
done
note "the boundary is no edge"

# The right monitor's edge below the left monitor: out on the right monitor,
# vertically centred on it (400 + 400 - 225).
xdotool mousemove 1280 1000
wait_until 3 panel_at_xy 1280 575 || fail "not out on the right monitor: x=$(panel_x) y=$(panel_y)"
note "out on the right monitor"

# Back, it waits beyond both monitors, not on the left one at x=1144.
xdotool mousemove 1900 1000
wait_until 3 panel_at_xy -136 575 || fail "hidden in sight: x=$(panel_x) y=$(panel_y)"

xdotool mousemove 0 400
wait_until 3 panel_at_xy 0 175 || fail "not out on the left monitor: x=$(panel_x) y=$(panel_y)"
note "out on the left monitor"
