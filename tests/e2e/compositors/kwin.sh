# KWin (KDE Plasma's compositor) on its virtual backend, for the Wayland
# end-to-end tests (see ../wayland.sh). Input goes through KWin's fake
# input interface, windows are placed and focused by KWin scripts sent over
# its session bus.

# Starts KWin with one 1280 × 800 output and its XWayland, and exports
# DISPLAY, WAYLAND_DISPLAY and what a Plasma session tells its programs
# (XDG_CURRENT_DESKTOP, XDG_SESSION_TYPE). KWin's own settings are read from
# $XDG_CONFIG_HOME/kwinrc: write them before the start.
start_compositor() {
    require_tools kwin_wayland Xwayland dbus-daemon gdbus wev
    KWIN_RUN="$WORK/kwin"
    mkdir -p "$KWIN_RUN" "$XDG_CONFIG_HOME"
    # The installed binary carries a file capability, which a container
    # without that privilege refuses to execute; a plain copy runs.
    cp "$(command -v kwin_wayland)" "$KWIN_RUN/kwin_wayland"
    start_session_bus "$KWIN_RUN"
    cat >"$KWIN_RUN/session.sh" <<EOF
#!/bin/sh
echo "\$DISPLAY \$WAYLAND_DISPLAY" >"$KWIN_RUN/session.tmp" && mv "$KWIN_RUN/session.tmp" "$KWIN_RUN/session"
EOF
    chmod +x "$KWIN_RUN/session.sh" # KWin runs it once it is ready, and lives on after it
    # A Plasma desktop always has a Wayland surface under the cursor, the
    # desktop's own if no window is there; a bare KWin has none. Every wev
    # window, which stands in for Wayland programs, starts over the whole
    # screen, so that nothing of the test happens over no surface at all.
    cat >"$XDG_CONFIG_HOME/kwinrulesrc" <<EOF
[General]
count=1
rules=wev

[wev]
Description=wev over the whole screen
wmclass=wev
wmclassmatch=1
position=0,0
positionrule=3
size=1280,800
sizerule=3
EOF
    env -i PATH="$PATH" HOME="$HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
        DBUS_SESSION_BUS_ADDRESS="$SESSION_BUS" KWIN_COMPOSE=Q KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 \
        "$KWIN_RUN/kwin_wayland" --virtual --xwayland --width 1280 --height 800 --socket zorv-kwin \
        --no-lockscreen "$KWIN_RUN/session.sh" >"$COMPOSITOR_LOG" 2>&1 &
    STARTED_PIDS+=($!)
    await_session "$KWIN_RUN/session" 20
    export DISPLAY="$SESSION_DISPLAY" WAYLAND_DISPLAY="$SESSION_WAYLAND" XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland
    wait_until 10 xdpyinfo || skip "XWayland on $DISPLAY does not answer"
    note "KWin on $WAYLAND_DISPLAY, XWayland on $DISPLAY"
    start_input_helper "$ZORV_TEST_HELPERS/fake_input"
}

# kwin_eavesdrops VALUE: KWin lets X11 programs see keys typed into Wayland
# windows (None, Modifiers, Combinations, All). Call before start_compositor.
kwin_eavesdrops() {
    mkdir -p "$XDG_CONFIG_HOME"
    printf '[Xwayland]\nXwaylandEavesdrops=%s\n' "$1" >>"$XDG_CONFIG_HOME/kwinrc"
}

# press_keys STEP...: one batch of keys, +CODE down, -CODE up, @MS a pause
# (evdev codes), sent by one client so that the batch keeps its timing.
press_keys() {
    pointer_step keys "$@"
}

# Evdev codes of the keys the tests type.
KEY_1=2 KEY_LEFTALT=56 KEY_LEFTMETA=125

# The leader's double tap, Alt + Super, held 0.2 s with a 0.15 s gap.
leader_double_tap() {
    press_keys +$KEY_LEFTALT +$KEY_LEFTMETA @200 -$KEY_LEFTALT -$KEY_LEFTMETA @150 \
        +$KEY_LEFTALT +$KEY_LEFTMETA @200 -$KEY_LEFTALT -$KEY_LEFTMETA
}

# kwin_script JS: runs a KWin script and returns once it has run.
KWIN_SCRIPTS=0
kwin_script() {
    KWIN_SCRIPTS=$((KWIN_SCRIPTS + 1))
    local name="zorv-test-$KWIN_SCRIPTS" file="$KWIN_RUN/script.$KWIN_SCRIPTS.js"
    printf '%s\nprint("zorv-test script %s done");\n' "$1" "$KWIN_SCRIPTS" >"$file"
    kwin_call org.kde.kwin.Scripting.loadScript "$file" "$name"
    kwin_call org.kde.kwin.Scripting.start
    wait_until 5 grep -qaF "zorv-test script $KWIN_SCRIPTS done" "$COMPOSITOR_LOG" ||
        fail "KWin did not run a script: $1"
    kwin_call org.kde.kwin.Scripting.unloadScript "$name"
}

kwin_call() {
    local method=$1
    shift
    gdbus call --address "$SESSION_BUS" --dest org.kde.KWin --object-path /Scripting --method "$method" "$@" \
        >/dev/null || fail "KWin's scripting refused $method"
}

# kwin_window_script CLASS JS: runs JS with `c` set to each window of this
# resource class.
kwin_window_script() {
    kwin_script "workspace.clientList().forEach(function (c) { if (c.resourceClass == \"$1\") { $2 } });"
}

# A native Wayland window with the keyboard: wev (foot stops on a
# floating-point exception on KWin's virtual output). It logs when its
# keyboard enters or leaves and each key.
start_wayland_window() {
    stdbuf -oL wev -f wl_keyboard:enter -f wl_keyboard:leave -f wl_keyboard:key >"$WORK/wev.window.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 grep -q "wl_keyboard] enter" "$WORK/wev.window.log" || fail "the Wayland window did not get the keyboard"
}

# An X11 window beside it: an xmessage, X11 class "Xmessage".
start_x11_window() {
    xmessage -geometry 600x400 "an X11 window" >"$WORK/xmessage.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 xdotool search --onlyvisible --class Xmessage || fail "the X11 window did not appear"
}

# The X11 window on the left half of the screen, the Wayland one on the
# right half, as a tiling desktop would put them.
x11_window_to_left() {
    kwin_window_script wev "c.frameGeometry = {x: 640, y: 0, width: 640, height: 800};"
    kwin_window_script xmessage "c.frameGeometry = {x: 0, y: 0, width: 640, height: 800};"
}

focus_x11_window() {
    kwin_window_script xmessage "workspace.activeClient = c;"
}

# A headless KWin always has a keyboard on its seat.
ready_keyboard() {
    :
}

