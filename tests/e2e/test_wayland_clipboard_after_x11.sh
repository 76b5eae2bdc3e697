#!/usr/bin/env bash
# An X11 program's copy made while a Wayland window has the keyboard focus
# fills the clipboard slot, and what Wayland programs copy after it still
# does: each later copy, not the X11 one, is what the paste button takes.
# compositors: sway kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
source "$(dirname "$0")/wayland_clipboard.sh"

start_compositor
start_x11_window
start_wayland_window
! declare -F x11_window_to_left >/dev/null || x11_window_to_left
focus_wayland
pointer to 900 400
start_zorv
wait_until 5 panel_window || fail "no panel window"

# wayland_copy_pasted TEXT: a Wayland program copies TEXT, and the paste
# button takes it as the shelf's newest item. The copy comes once the panel
# is out, long after zorv's own Wayland connection is up: one made before
# would be the clipboard it found at start, which is never offered.
wayland_copy_pasted() {
    show_panel
    wl-copy --foreground "$1" >>"$WORK/wl-copy.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 3 paste_lit || fail "the Wayland copy '$1' did not fill the clipboard slot"
    press_paste
    wait_until 2 stored_contains "text:$1" || fail "the Wayland copy '$1' was not stored: $(stored_shelf)"
    [ "$(stored_shelf | tail -n1)" = "text:$1" ] || fail "the Wayland copy '$1' is not the newest: $(stored_shelf)"
    wait_until 2 not paste_lit || fail "the paste button stayed lit after the Wayland copy '$1'"
    hide_panel
}

wayland_copy_pasted "before the X11 copy"
printf 'copied in X11' | xclip -selection clipboard
show_panel
wait_until 3 paste_lit || fail "an X11 program's copy did not fill the clipboard slot"
press_paste
wait_until 2 stored_contains "text:copied in X11" || fail "the X11 copy was not stored: $(stored_shelf)"
wait_until 2 not paste_lit || fail "the paste button stayed lit after the paste"
hide_panel
note "the X11 copy pasted"

wayland_copy_pasted "after the X11 copy"
wayland_copy_pasted "and once more"
note "Wayland copies after the X11 one pasted"
zorv_running || fail "zorv ended"
