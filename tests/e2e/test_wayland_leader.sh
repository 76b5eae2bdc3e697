#!/usr/bin/env bash
# On Plasma, with zorv on XWayland and a native Wayland window holding the
# keyboard: once KWin lets legacy X11 apps read every key ("Always" in
# System Settings), the leader's double tap arms over the Wayland window
# and "1" copies the top card. The Wayland window keeps the keyboard
# through zorv's launch, a peek and slide at the edge, the clipboard's
# preview and the armed panel. (KWin applies the setting when it starts.)
# compositors: kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"

kwin_eavesdrops All
start_compositor
start_wayland_window
WEV_LOG="$WORK/wev.window.log"
seed_shelf "older card" "newest card"
pointer to 640 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
printf 'before' >"$WORK/clip.txt"
set_clipboard "$WORK/clip.txt"

# The preview: a visible 132 × 92 zorv window.
preview_shown() {
    local window
    for window in $(xdotool search --onlyvisible --classname zorv 2>/dev/null); do
        case "$(window_geometry "$window")" in *" 132 92") return 0 ;; esac
    done
    return 1
}
kept_keyboard() {
    ! grep -q "wl_keyboard] leave" "$WEV_LOG"
}
# The edge windows are the last of zorv's to map at launch.
wait_until 5 sh -c 'xwininfo -root -children | grep -qF "\"zorv-edge\""' || fail "no edge window"
kept_keyboard || fail "a window of zorv's took the keyboard at launch"
pointer glide 0 400 4 15
wait_until 1.5 panel_out_to -102 || fail "no peek at the edge: x=$(panel_x)"
wait_until 2 panel_at 0 || fail "the panel did not slide fully out: x=$(panel_x)"
# Resting on the paste button opens the clipboard's preview below the panel.
top=$(window_geometry "$(panel_window)" | awk '{ print $2 }')
pointer glide 84 $((top + 432)) 6 15
wait_until 2 preview_shown || fail "no preview of the clipboard"
pointer glide 0 760 6 15 glide 640 760 8 15
wait_until 1.5 panel_at -136 || fail "the panel stayed out over the Wayland window: x=$(panel_x)"
kept_keyboard || fail "the Wayland window lost the keyboard while the panel came and went"
pointer glide 640 400 4 15

clipboard_is() {
    [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]
}

leader_double_tap
wait_until 2 panel_at 0 || fail "the leader's double tap over the Wayland window did not arm: x=$(panel_x)"
press_keys +$KEY_1 @40 -$KEY_1
wait_until 2 clipboard_is "newest card" ||
    fail "\"1\" over the Wayland window copied '$(xclip -o -selection clipboard 2>/dev/null)'"
wait_until 2 panel_at -136 || fail "the panel stayed out after the card was copied: x=$(panel_x)"
kept_keyboard || fail "the Wayland window lost the keyboard to the armed panel"
note "the leader armed over the Wayland window and \"1\" copied the top card"
