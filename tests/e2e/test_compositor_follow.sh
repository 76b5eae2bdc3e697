#!/usr/bin/env bash
# Autostart often runs Zorv before the compositing manager. The panel is
# opaque with its corners cut out while no compositor runs, translucent once
# one starts, and opaque and cut out again when it stops.
source "$(dirname "$0")/lib.sh"

start_x
xsetroot -solid white
start_zorv
wait_until 5 panel_window || fail "no panel window"
xdotool mousemove 0 400 # the pointer stays on the shown panel from now on
wait_until 3 panel_at 0 || fail "the panel did not slide out: x=$(panel_x)"

# brightness_between X Y LOW HIGH: of the screen's pixel at X, Y.
brightness_between() {
    local r g b
    read -r r g b < <(pixel "$1" "$2")
    [ "$(brightness "$r" "$g" "$b")" -ge "$3" ] && [ "$(brightness "$r" "$g" "$b")" -le "$4" ]
}
# Where the window is cut out the white desktop shows; an uncut window with
# an alpha channel shows black there without a compositor.
opaque_and_cut_out() {
    brightness_between 60 400 15 35 && brightness_between 131 175 200 255
}

wait_until 2 opaque_and_cut_out || fail "not opaque and cut out at start: $(pixel 60 400), $(pixel 131 175)"
xcompmgr >"$WORK/xcompmgr.log" 2>&1 &
compositor=$!
STARTED_PIDS+=("$compositor")
# The desktop, which xcompmgr paints grey, shows through the panel.
wait_until 10 brightness_between 60 400 38 120 || fail "still opaque with a compositor: $(pixel 60 400)"
kill "$compositor"
wait_until 5 opaque_and_cut_out || fail "not opaque and cut out again: $(pixel 60 400), $(pixel 131 175)"
zorv_running || fail "zorv is gone"
