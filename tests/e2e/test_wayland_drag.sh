#!/usr/bin/env bash
# On a Wayland desktop, with zorv on XWayland: a card dragged out of the
# panel drops into an X11 program there, and nothing of zorv's stands in
# the way of the drop.
# compositors: sway mutter kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"

start_compositor
start_wayland_window
seed_shelf "older card" "dragged over XWayland"
pointer to 900 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
# The X11 program that takes the drop, in front of the Wayland window.
QT_QPA_PLATFORM=xcb start_peer drop "$WORK/dropped.txt" 700 300
# The compositor may show the window before it moves it where it asked to be.
peer_geometry() { window_geometry "$(xdotool search --onlyvisible --name "dnd peer" | head -n1)"; }
peer_clear_of_panel() {
    local x y w h
    read -r x y w h < <(peer_geometry) && [ $((x + w / 2)) -gt 300 ]
}
wait_until 5 peer_clear_of_panel || fail "the peer window is under the panel: $(peer_geometry)"
wait_until 2 steady peer_geometry || fail "the peer window keeps moving"
read -r x y w h < <(peer_geometry)
target_x=$((x + w / 2)) target_y=$((y + h / 2))

pointer glide 0 400 8 15
wait_until 2 panel_at 0 || fail "the panel did not come out"
read -r card_x card_y < <(card_center 1)
pointer glide "$card_x" "$card_y" 4 15 down
# Small steps, each long enough for an XDND position and its answer.
pointer glide "$target_x" "$target_y" 16 40 up
wait_until 3 grep -qx "text:dragged over XWayland" "$WORK/dropped.txt" ||
    fail "the peer got: $(cat "$WORK/dropped.txt" 2>/dev/null)"
