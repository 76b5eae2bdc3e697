#!/usr/bin/env bash
# Autostart often runs Zorv before the compositing manager. The panel draws
# itself opaque with its corners cut out while no compositor runs, turns
# translucent once one starts, and opaque and cut out again when it stops.
source "$(dirname "$0")/lib.sh"

start_x
xsetroot -solid white
start_zorv
wait_until 5 panel_window || fail "no panel window"
xdotool mousemove 0 400 # the pointer stays on the shown panel from now on
wait_until 3 panel_at 0 || fail "the panel did not slide out: x=$(panel_x)"

# body_between LOW HIGH: the brightness of the panel's background, well inside it.
body_between() {
    local r g b
    read -r r g b < <(pixel 60 400)
    [ "$(brightness "$r" "$g" "$b")" -ge "$1" ] && [ "$(brightness "$r" "$g" "$b")" -le "$2" ]
}
# The top right corner shows the white desktop where the window is cut out;
# an uncut ARGB window shows black there without a compositor.
corner_cut_out() {
    local r g b
    read -r r g b < <(pixel 131 175)
    [ "$(brightness "$r" "$g" "$b")" -ge 200 ]
}

wait_until 2 body_between 15 35 || fail "no opaque dark panel without a compositor: $(pixel 60 400)"
corner_cut_out || fail "the corner is not cut out without a compositor: $(pixel 131 175)"

xcompmgr >"$WORK/xcompmgr.log" 2>&1 &
compositor=$!
STARTED_PIDS+=("$compositor")
# The desktop (xcompmgr paints it grey) now shows through the panel.
wait_until 10 body_between 38 120 || fail "the panel stayed opaque after the compositor started: $(pixel 60 400)"
note "translucent with the compositor"

kill "$compositor"
wait "$compositor" 2>/dev/null || true
wait_until 5 body_between 15 35 || fail "the panel stayed translucent after the compositor stopped: $(pixel 60 400)"
wait_until 2 corner_cut_out || fail "the corner is not cut out again: $(pixel 131 175)"
zorv_running || fail "zorv is gone"
note "opaque and cut out again"
