#!/usr/bin/env bash
# On a Wayland desktop, which may have no tray (GNOME): launching zorv again
# while it runs says so and exits 0, and the running zorv opens its settings
# window, which comes up in front with the keyboard.
# compositors: sway mutter kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"

start_compositor
start_wayland_window
seed_shelf first second
pointer to 640 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
wait_until 10 test -S "$XDG_RUNTIME_DIR/zorv.socket" || fail "the first instance does not listen for launches"

set +e
message=$(timeout 10 "$ZORV_BIN" 2>&1)
status=$?
set -e
[ "$status" = 0 ] || fail "second launch exited with $status: $message"
[ "$message" = "Zorv is already running." ] || fail "second launch said: $message"
zorv_running || fail "the first instance ended"
settings_window() { xdotool search --onlyvisible --name "^Zorv Hotkeys$" | head -n 1; }
wait_until 5 settings_window || fail "the second launch opened no settings window"
settings_focused() {
    [ "$(xprop -root _NET_ACTIVE_WINDOW | awk '{ print $NF }')" = "$(printf '0x%x' "$(settings_window)")" ]
}
wait_until 5 settings_focused || fail "the settings window did not come up with the keyboard"
