#!/usr/bin/env bash
# On a Wayland desktop the compositor raises the X11 window it focuses
# above zorv's panel, and XWayland then hands the clicks on the panel to
# that window. A click on a card of the shown panel still copies it, both
# when the X11 window was focused before the panel came out and when it is
# focused while the panel is out.
# compositors: sway mutter kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"

start_compositor
start_x11_window
start_wayland_window
# The X11 window to the left, under the panel; the Wayland one to the right.
x11_window_to_left
read -r x _ w _ < <(window_geometry "$(xdotool search --class Xmessage | head -n1)")
[ "$x" -le 10 ] && [ "$w" -gt 200 ] || fail "the X11 window is not on the left: x=$x width=$w"
seed_shelf "older card" "copy me over XWayland"
pointer to 900 400
start_zorv
wait_until 5 panel_window || fail "no panel window"

clipboard_is() {
    [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]
}

# card_click N: shows the panel from the edge and clicks card N.
card_click() {
    local x y
    pointer glide 0 400 8 15
    wait_until 2 panel_at 0 || fail "the panel did not come out: x=$(panel_x)"
    read -r x y < <(card_center "$1")
    pointer glide "$x" "$y" 4 15
    [ -z "${2:-}" ] || "$2"
    pointer click
}

# The user clicks into the X11 window, then goes to the edge.
pointer glide 300 400 6 15 click
wait_until 2 x11_focused Xmessage || fail "the X11 window did not take the focus"
card_click 1
wait_until 2 clipboard_is "copy me over XWayland" ||
    fail "a click on the card after focusing the X11 window copied '$(xclip -o -selection clipboard 2>/dev/null)'"
note "a card click reached the panel after the X11 window had been focused"

# Back to the Wayland window; the X11 window is focused again while the
# panel is out, with the cursor resting on a card.
pointer glide 900 400 8 15
wait_until 1.5 panel_at -136 || fail "the panel stayed out over the Wayland window: x=$(panel_x)"
# A click gives the Wayland window the keyboard: it reaches that window,
# not a window of zorv's.
pointer click
wait_until 2 not x11_focused Xmessage || fail "a click on the Wayland window did not reach it after the panel went"
focus_x11() {
    focus_x11_window
    wait_until 2 x11_focused Xmessage || fail "the X11 window did not take the focus while the panel was out"
    wait_until 2 panel_above Xmessage || fail "the panel was not raised over the focused X11 window"
}
card_click 2 focus_x11
wait_until 2 clipboard_is "older card" ||
    fail "a click on the card after the X11 window was raised copied '$(xclip -o -selection clipboard 2>/dev/null)'"
panel_at 0 || fail "the panel did not stay out under the cursor: x=$(panel_x)"
note "a card click reached the panel after the X11 window was raised over it"
