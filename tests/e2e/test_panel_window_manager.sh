#!/usr/bin/env bash
# Under a window manager the hidden panel is still entirely off-screen, the
# panel takes no focus and has no taskbar entry.
source "$(dirname "$0")/lib.sh"

start_x
start_openbox
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
sleep 0.5
panel_at -136 || fail "openbox moved the hidden panel to x=$(panel_x)"
for x in 0 5 10 20 29; do
    read -r r g b < <(pixel "$x" 400)
    [ "$(brightness "$r" "$g" "$b")" -le 8 ] || fail "a strip of the hidden panel shows at x=$x: $r,$g,$b"
done
# Not managed, so never in a taskbar or window list.
xprop -root _NET_CLIENT_LIST | grep -qi "$(printf '0x%x' "$(panel_window)")" && fail "the panel is a managed window"

focus_before=$(xdotool getwindowfocus)
xdotool mousemove 0 400
wait_until 1.5 panel_at 0 || fail "the panel did not slide out under openbox: x=$(panel_x)"
xdotool mousemove 60 400 click 1
sleep 0.3
[ "$(xdotool getwindowfocus)" = "$focus_before" ] || fail "a click on the panel took the focus"
