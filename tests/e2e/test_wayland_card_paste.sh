#!/usr/bin/env bash
# A click on a card puts it on the Wayland clipboard too: with a native
# Wayland window focused, wl-paste gives exactly the card's text, and a
# screenshot card's PNG bytes.
# compositors: sway mutter kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
source "$(dirname "$0")/wayland_clipboard.sh"

start_compositor
start_wayland_window
mkdir -p "$SHOTS"
png "$SHOTS/card.png" 50x40 "rgba(255,64,0,0.75)"
seed_items "screenshot:$SHOTS/card.png" "text:card text for wayland"
pointer to 900 400
start_zorv
wait_until 5 panel_window || fail "no panel window"

wayland_text_is() { [ "$(timeout 2 wl-paste --no-newline 2>/dev/null)" = "$1" ]; }
wayland_png_is() {
    timeout 2 wl-paste --type image/png >"$WORK/pasted.png" 2>/dev/null && cmp -s "$WORK/pasted.png" "$1"
}
card_click() {
    local x y
    show_panel
    read -r x y < <(card_center "$1")
    pointer glide "$x" "$y" 4 15 click
}

card_click 1
wait_until 3 wayland_text_is "card text for wayland" ||
    fail "wl-paste gave '$(timeout 2 wl-paste --no-newline 2>&1)' for the text card"
note "a text card reached the Wayland clipboard"
card_click 2
wait_until 3 wayland_png_is "$SHOTS/card.png" || fail "wl-paste --type image/png did not give the card's file"
note "a screenshot card reached the Wayland clipboard"
hide_panel
zorv_running || fail "zorv ended"
