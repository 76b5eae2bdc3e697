#!/usr/bin/env bash
# On a Wayland desktop, with zorv on XWayland and the cursor over a native
# Wayland window: reaching the left edge peeks and then shows the panel,
# which stays while the cursor rests on a card, and going back onto the
# window, by a glide or in one leap, hides it again.
# compositors: sway mutter kwin
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

# Resting on a card keeps it out.
read -r card_x card_y < <(card_center 1)
pointer glide "$card_x" "$card_y" 4 15
sleep 1.5
panel_at 0 || fail "the panel went back from under the cursor resting on a card: x=$(panel_x)"

# The cursor leaves the panel on the first step of the glide.
left=$(now_ms)
pointer glide 640 400 8 15
glided=$(now_ms)
wait_until 1.5 panel_at -136 || fail "the panel stayed out over the Wayland window: x=$(panel_x)"
note "hide delay over the Wayland window: $(($(now_ms) - left)) ms from the start of a glide off the panel" \
    "(the glide took $((glided - left)) ms)"

# A flick: from a card to the middle of the screen in one step.
pointer glide 0 400 4 15
wait_until 2 panel_at 0 || fail "the panel did not come out again: x=$(panel_x)"
pointer glide "$card_x" "$card_y" 4 15
left=$(now_ms)
pointer to 640 400
wait_until 1.5 panel_at -136 || fail "the panel stayed out after a flick onto the Wayland window: x=$(panel_x)"
note "hide delay after a flick onto the Wayland window: $(($(now_ms) - left)) ms"

# Along the edge below the panel, where only the edge window lies under
# the cursor, the edge works as well.
pointer glide 0 760 6 15
wait_until 2 panel_at 0 || fail "the edge below the panel did not show it: x=$(panel_x)"
pointer glide 640 760 8 15
wait_until 1.5 panel_at -136 || fail "the panel stayed out after leaving the edge: x=$(panel_x)"
