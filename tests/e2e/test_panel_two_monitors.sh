#!/usr/bin/env bash
# Two monitors, the right one 400 px lower. The boundary between them is no
# edge; the right monitor's left side below the left one is, and brings the
# panel out there; hidden again, the panel stands on neither monitor.
source "$(dirname "$0")/lib.sh"

start_x 2560x1200x24
# The left monitor takes the server's one output, which drops the monitor
# spanning the whole screen; Qt then reports the two as its screens.
xrandr --setmonitor left 1280/338x800/211+0+0 screen >/dev/null
xrandr --setmonitor right 1280/338x800/211+1280+400 none
xdotool mousemove 1900 700
start_zorv
wait_until 5 panel_window || fail "no panel window"
panel_at_xy() { read -r x y _ < <(window_geometry "$(panel_window)") && [ "$x $y" = "$1 $2" ]; }
where() { window_geometry "$(panel_window)"; }

xdotool mousemove 1280 600 # the left monitor is beside it here
for _ in $(seq 30); do # well past the hold's half second
    panel_at -136 || fail "the boundary moved the panel: $(where)"
    sleep 0.05
done
xdotool mousemove 1280 1000
wait_until 3 panel_at_xy 1280 575 || fail "not out on the right monitor: $(where)"
xdotool mousemove 1900 1000
wait_until 3 panel_at_xy -136 575 || fail "hidden where the left monitor shows it: $(where)"
xdotool mousemove 0 400
wait_until 3 panel_at_xy 0 175 || fail "not out on the left monitor: $(where)"
