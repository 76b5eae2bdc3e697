#!/usr/bin/env bash
# While a native Wayland window holds the keyboard focus, what Wayland
# programs copy reaches zorv through data-control: text and PNG images fill
# the clipboard slot, a password never does, and one copy fills the slot
# once, also where XWayland passes it on to X11 when an X11 window is
# focused. (Time from wl-copy to the slot: bash bench/wayland_clipboard.sh.)
# compositors: sway kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
source "$(dirname "$0")/wayland_clipboard.sh"

start_compositor
# The X11 window on the left, the Wayland one on the right, focused.
start_x11_window
start_wayland_window
! declare -F x11_window_to_left >/dev/null || x11_window_to_left
focus_wayland
pointer to 900 400
start_zorv
wait_until 5 panel_window || fail "no panel window"

# Text, copied once the panel is out: by then zorv's own Wayland connection
# knows the clipboard it started with, which is never offered.
show_panel
wl-copy --foreground "unique text 4711" >"$WORK/wl-copy.log" 2>&1 &
STARTED_PIDS+=($!)
wait_until 3 paste_lit || fail "a Wayland program's text did not fill the clipboard slot"
press_paste
wait_until 2 stored_contains "text:unique text 4711" || fail "the pasted text was not stored: $(stored_shelf)"
[ "$(stored_shelf | tail -n1)" = "text:unique text 4711" ] || fail "the pasted text is not the newest: $(stored_shelf)"
wait_until 2 not paste_lit || fail "the paste button stayed lit after the paste"
note "text from wl-copy pasted"

# One copy, one change: XWayland passes the copy on to X11 once an X11
# window has the focus (KWin), or at once (sway), and zorv sees the X11
# CLIPBOARD change hands to the bridge. That change, counted again, would
# fill the slot once the watcher's check and its read are done: the button
# must stay dark for as long as those take, counted from the handover.
hide_panel
focus_x11
x11_clipboard_is() { [ "$(timeout 2 xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }
wait_until 4 x11_clipboard_is "unique text 4711" || fail "XWayland did not pass the copy on to X11"
show_panel
! wait_until 1 paste_lit || fail "the copy that XWayland passed on filled the clipboard slot again"
note "one wl-copy, one change"
focus_wayland
hide_panel

# An image, kept as its PNG bytes.
png "$WORK/shot.png" 40x30 "rgba(0,128,255,0.5)"
wl-copy --foreground --type image/png <"$WORK/shot.png" >>"$WORK/wl-copy.log" 2>&1 &
STARTED_PIDS+=($!)
show_panel
wait_until 3 paste_lit || fail "a Wayland program's image did not fill the clipboard slot"
press_paste
wait_until 2 stored_contains "screenshot:" || fail "the pasted image was not stored: $(stored_shelf)"
file=$(stored_shelf | sed -n "s|^screenshot:||p" | tail -n1)
diff=$(compare -metric AE "$WORK/shot.png" "$file" null: 2>&1 || true)
[ "$diff" = 0 ] || fail "the stored PNG differs in $diff pixels"
cmp -s "$WORK/shot.png" "$file" || fail "the stored PNG is not the copied file's bytes"
note "image from wl-copy pasted as its bytes"
hide_panel

# A password: the hint keeps it out, with the paste button too.
"$ZORV_TEST_HELPERS/data_control_source" secret "hunter2" >"$WORK/secret.log" 2>&1 &
STARTED_PIDS+=($!)
wait_until 2 grep -q ready "$WORK/secret.log" || fail "the password source did not start: $(cat "$WORK/secret.log")"
show_panel
before=$(stored_shelf)
sleep 1.5
not paste_lit || fail "a password filled the clipboard slot"
press_paste
sleep 1
[ "$(stored_shelf)" = "$before" ] || fail "a password reached the shelf: $(stored_shelf)"
zorv_running || fail "zorv ended"
note "a password stayed out"
