# mutter (GNOME's compositor) headless, for the Wayland end-to-end tests
# (see ../wayland.sh). Input goes through mutter's remote desktop D-Bus
# service, whose absolute motion needs a screen cast stream, so PipeWire
# runs beside it.

# Starts mutter with one 1280 × 800 virtual monitor and its XWayland, and
# exports DISPLAY, XAUTHORITY and WAYLAND_DISPLAY. mutter runs a command
# of ours inside its session and ends with it: that command reports the
# session and then waits until this test closes its end of a pipe.
start_compositor() {
    require_tools mutter Xwayland pipewire dbus-daemon
    MUTTER_RUN="$WORK/mutter"
    mkdir -p "$MUTTER_RUN"
    chmod 700 "$MUTTER_RUN"
    env -i PATH="$PATH" HOME="$HOME" XDG_RUNTIME_DIR="$MUTTER_RUN" \
        pipewire >"$WORK/pipewire.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 test -S "$MUTTER_RUN/pipewire-0" || skip "PipeWire did not start, so mutter takes no input"
    mkfifo "$WORK/mutter.hold"
    cat >"$WORK/mutter-session.sh" <<EOF
#!/bin/sh
echo "\$DISPLAY \$WAYLAND_DISPLAY" >"$MUTTER_RUN/session.tmp"
mv "$MUTTER_RUN/session.tmp" "$MUTTER_RUN/session"
exec cat "$WORK/mutter.hold" >/dev/null
EOF
    chmod 755 "$WORK/mutter-session.sh"
    start_session_bus "$MUTTER_RUN"
    env -i PATH="$PATH" HOME="$HOME" XDG_RUNTIME_DIR="$MUTTER_RUN" GSETTINGS_BACKEND=memory \
        DBUS_SESSION_BUS_ADDRESS="$SESSION_BUS" mutter --headless --virtual-monitor 1280x800 --wayland \
        -- "$WORK/mutter-session.sh" >"$COMPOSITOR_LOG" 2>&1 &
    STARTED_PIDS+=($!)
    # Opened both ways, so that this does not wait for a mutter that never
    # starts its command.
    exec 5<>"$WORK/mutter.hold"
    await_session "$MUTTER_RUN/session" 20
    local auth
    auth=$(echo "$MUTTER_RUN"/.mutter-Xwaylandauth.*)
    [ -f "$auth" ] || skip "mutter's XWayland left no authority file"
    export DISPLAY="$SESSION_DISPLAY" XAUTHORITY="$auth" WAYLAND_DISPLAY="$MUTTER_RUN/$SESSION_WAYLAND"
    wait_until 10 xdpyinfo || skip "XWayland on $DISPLAY does not answer"
    note "mutter on $WAYLAND_DISPLAY, XWayland on $DISPLAY"
    start_input
}

# The remote desktop session, one for the whole test. Its keyboard joins
# the seat with the session; the first key press is lost while it does, so
# a throwaway Shift tap goes first. Besides the pointer's steps it takes
# "key CODE", "press CODE" and "release CODE" with evdev key codes.
start_input() {
    start_input_helper env DBUS_SESSION_BUS_ADDRESS="$SESSION_BUS" XDG_RUNTIME_DIR="$MUTTER_RUN" \
        "$ZORV_TEST_HELPERS/mutter_input" 1280 800
    pointer_step key 42
}

# ready_keyboard: the remote desktop session's keyboard has already joined
# the seat (start_input).
ready_keyboard() {
    :
}

# A native Wayland window: a maximized foot terminal, titled "wayland
# window", returning once it has the keyboard. Its shell turns on the
# terminal's focus reports and keeps them in a file, so that anyone can
# tell whether it has the keyboard (wayland_window_focused).
start_wayland_window() {
    FOOT_FOCUS="$WORK/foot.focus"
    : >"$FOOT_FOCUS"
    foot --maximized --title "wayland window" sh -c \
        "stty -icanon -echo; printf '\033[?1004h'; exec cat >'$FOOT_FOCUS'" >"$WORK/foot.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 wayland_window_focused || fail "the Wayland window did not get the keyboard"
}

# The foot window has the keyboard: its last focus report is a focus-in.
wayland_window_focused() {
    [ "$(grep -ao $'\e\[[IO]' "$FOOT_FOCUS" | tail -n1)" = $'\e[I' ]
}

# An X11 window: an xmessage, X11 class "Xmessage", whose place on the left
# mutter keeps since the program asks for it.
start_x11_window() {
    xmessage -geometry 600x400+0+200 "an X11 window" >"$WORK/xmessage.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 x11_window_shown Xmessage || fail "the X11 window did not appear"
}

# x11_window_shown CLASS: a window of this class is mapped.
x11_window_shown() {
    xdotool search --onlyvisible --class "$1" | grep -q .
}

# The X11 window on the left, above the maximized Wayland window.
x11_window_to_left() {
    focus_x11_window
}

# Focuses the X11 window, and raises it, the way a pager asks mutter to.
focus_x11_window() {
    xdotool windowactivate "$(xdotool search --class Xmessage | head -n1)"
}
