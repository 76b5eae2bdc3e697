#!/usr/bin/env bash
# On Plasma as it comes, with zorv on XWayland and a native Wayland window
# holding the keyboard: KWin keeps the keys typed into Wayland windows from
# X11 programs, so the leader's double tap and "1" reach the Wayland window
# only, and nothing of zorv's moves. (This is what the settings window says
# there.)
# compositors: kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"

start_compositor
start_wayland_window
WEV_LOG="$WORK/wev.window.log"
seed_shelf "older card" "newest card"
pointer to 640 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
wait_until 5 sh -c 'xwininfo -root -children | grep -qF "\"zorv-edge\""' || fail "no edge window"
printf 'before' >"$WORK/clip.txt"
set_clipboard "$WORK/clip.txt"

# wev logs its keys by their X key code, the evdev code plus 8.
wayland_window_got_1() {
    grep -q "key: $((KEY_1 + 8)); state: 0" "$WEV_LOG"
}
leader_double_tap
press_keys +$KEY_1 @40 -$KEY_1
wait_until 2 wayland_window_got_1 || fail "the Wayland window did not get the typed key"
sleep 0.3 # where zorv hears the keys, it has armed and copied by now
panel_at -136 || fail "the leader armed although KWin keeps Wayland keys from X11 programs: x=$(panel_x)"
[ "$(xclip -o -selection clipboard 2>/dev/null)" = before ] || fail "a key typed into the Wayland window copied a card"
