#!/usr/bin/env bash
# On a Wayland desktop, with zorv on XWayland and the cursor over a native
# Wayland window: reaching the left edge peeks and then shows the panel,
# and going back onto the window hides it again.
# compositors: sway
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"

start_compositor
start_wayland_window
seed_shelf first second
pointer to 640 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
panel_at -136 || fail "the panel does not start hidden: x=$(panel_x)"

# The X11 position freezes over the Wayland window, so only the edge
# window can tell that the cursor arrived.
pointer glide 200 400 8 15
sleep 0.3
panel_at -136 || fail "the panel came out before the cursor reached the edge: x=$(panel_x)"
pointer glide 0 400 4 15
arrived=$(now_ms)
wait_until 1.5 panel_out_to -102 || fail "no peek at the edge over the Wayland window: x=$(panel_x)"
note "peek delay over the Wayland window: $(($(now_ms) - arrived)) ms (polled every 50 ms)"
wait_until 2 panel_at 0 || fail "the panel did not slide fully out: x=$(panel_x)"

pointer glide 640 400 8 15
left=$(now_ms)
wait_until 1.5 panel_at -136 || fail "the panel stayed out over the Wayland window: x=$(panel_x)"
note "hidden $(($(now_ms) - left)) ms after the cursor went back onto the Wayland window"

# Along the edge below the panel, where only the edge window lies under
# the cursor, the edge works as well.
pointer glide 0 760 6 15
wait_until 2 panel_at 0 || fail "the edge below the panel did not show it: x=$(panel_x)"
pointer glide 640 760 8 15
wait_until 1.5 panel_at -136 || fail "the panel stayed out after leaving the edge: x=$(panel_x)"
