# sway on its headless backend, for the Wayland end-to-end tests (see
# ../wayland.sh). Input goes through a virtual pointer device
# (virtual_pointer).

# Starts sway on the headless backend with one 1280 × 800 output and
# exports DISPLAY (its XWayland) and WAYLAND_DISPLAY. sway refuses to run
# as root, so under root it runs as nobody; its own runtime folder belongs
# to that user, and root is let into its X server.
start_compositor() {
    require_tools sway Xwayland xhost
    local as_user=()
    SWAY_RUN="$WORK/sway"
    mkdir -p "$SWAY_RUN"
    if [ "$(id -u)" -eq 0 ]; then
        as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
        chmod 711 "$WORK"
        chown nobody:nogroup "$SWAY_RUN"
    fi
    chmod 700 "$SWAY_RUN"
    local let_in_root=""
    [ "$(id -u)" -ne 0 ] || let_in_root="xhost +si:localuser:root >/dev/null && "
    cat >"$WORK/sway.config" <<EOF
output HEADLESS-1 resolution 1280x800 position 0 0
xwayland enable
focus_follows_mouse no
exec sh -c '${let_in_root}echo "\$DISPLAY \$WAYLAND_DISPLAY" >"$SWAY_RUN/session.tmp" && mv "$SWAY_RUN/session.tmp" "$SWAY_RUN/session"'
EOF
    chmod 644 "$WORK/sway.config"
    env -i PATH="$PATH" HOME="$SWAY_RUN" XDG_RUNTIME_DIR="$SWAY_RUN" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        "${as_user[@]}" sway -c "$WORK/sway.config" >"$COMPOSITOR_LOG" 2>&1 &
    STARTED_PIDS+=($!)
    await_session "$SWAY_RUN/session" 15
    export DISPLAY="$SESSION_DISPLAY" WAYLAND_DISPLAY="$SWAY_RUN/$SESSION_WAYLAND"
    SWAYSOCK=$(echo "$SWAY_RUN"/sway-ipc.*.sock)
    export SWAYSOCK
    wait_until 10 xdpyinfo || skip "XWayland on $DISPLAY does not answer"
    note "sway on $WAYLAND_DISPLAY, XWayland on $DISPLAY"
    start_input_helper "$ZORV_TEST_HELPERS/virtual_pointer" 1280 800
}

# A native Wayland window: a foot terminal, titled "wayland window".
start_wayland_window() {
    foot --title "wayland window" sh -c 'sleep 600' >"$WORK/foot.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 sway_has_window '"app_id": "foot"' || fail "the Wayland window did not appear"
}

# An X11 window beside it: an xmessage, X11 class "Xmessage".
start_x11_window() {
    xmessage -geometry 600x400 "an X11 window" >"$WORK/xmessage.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 sway_has_window '"class": "Xmessage"' || fail "the X11 window did not appear"
}

# sway_has_window TEXT: the compositor's window tree mentions TEXT.
sway_has_window() {
    swaymsg -t get_tree | grep -qF -- "$1"
}

# The X11 window on the left, the Wayland one beside it on the right.
x11_window_to_left() {
    swaymsg '[class="Xmessage"] move left' >/dev/null
}

focus_x11_window() {
    swaymsg '[class="Xmessage"] focus' >/dev/null
}

# A headless sway has no keyboard, and a window only gets the keyboard when
# there is one: a virtual keyboard that types nothing stands in for it for
# the whole test (wtype reads what to type from the pipe until it closes).
ready_keyboard() {
    command -v wtype >/dev/null || skip "wtype is not installed, so sway has no keyboard"
    mkfifo "$WORK/keys"
    wtype - <"$WORK/keys" >"$WORK/wtype.log" 2>&1 &
    STARTED_PIDS+=($!)
    exec 6>"$WORK/keys"
}
