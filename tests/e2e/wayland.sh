# Harness of the end-to-end tests on a Wayland desktop: a headless
# compositor whose XWayland server is zorv's display, a native Wayland
# window, and a way to move the compositor's cursor. Source it after
# lib.sh. The compositor is $ZORV_COMPOSITOR (sway unless set); its own
# part, in compositors/, defines start_compositor (which ends with
# start_input_helper), start_wayland_window (one with the keyboard), start_x11_window (class
# Xmessage), x11_window_to_left (that window on the left, in sight),
# focus_x11_window and ready_keyboard (the seat has a keyboard). A test
# names the compositors it runs on in a "# compositors:" line. Where the
# compositor or XWayland cannot start here, the test is skipped (exit
# status 77), not passed.

SKIP_STATUS=77
ZORV_COMPOSITOR=${ZORV_COMPOSITOR:-sway}
COMPOSITOR_LOG="$WORK/compositor.log"

skip() {
    echo "SKIP: $*" >&2
    exit "$SKIP_STATUS" # the cleanup shows the compositor's log
}

[ -f "$(dirname "${BASH_SOURCE[0]}")/compositors/$ZORV_COMPOSITOR.sh" ] ||
    fail "no harness for the compositor \"$ZORV_COMPOSITOR\""
# shellcheck source=/dev/null
source "$(dirname "${BASH_SOURCE[0]}")/compositors/$ZORV_COMPOSITOR.sh"

# require_tools TOOL...: each is installed, or the test is skipped.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed, so $ZORV_COMPOSITOR with XWayland cannot start"
    done
}

# start_session_bus DIR: a session bus of the test's own at DIR/bus, ended
# with the test, as SESSION_BUS (dbus-run-session would leave its daemon
# behind when it is killed).
start_session_bus() {
    SESSION_BUS="unix:path=$1/bus"
    dbus-daemon --session --nofork --address="$SESSION_BUS" >"$1/bus.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 5 test -S "$1/bus" || skip "no session bus for $ZORV_COMPOSITOR"
}

# await_session FILE SECONDS: waits until the command the compositor runs
# once it is ready has written "DISPLAY WAYLAND_DISPLAY" to FILE, and sets
# SESSION_DISPLAY and SESSION_WAYLAND from it.
await_session() {
    wait_until "$2" test -s "$1" || skip "$ZORV_COMPOSITOR or its XWayland did not start"
    read -r SESSION_DISPLAY SESSION_WAYLAND <"$1"
    [ -n "$SESSION_DISPLAY" ] && [ -n "$SESSION_WAYLAND" ] || skip "$ZORV_COMPOSITOR started without XWayland"
}

# start_input_helper COMMAND...: the compositor's input helper, one for the
# whole test. It reads one step a line and answers "ok" once the
# compositor has taken it.
start_input_helper() {
    mkfifo "$WORK/input.in" "$WORK/input.out"
    "$@" <"$WORK/input.in" >"$WORK/input.out" 2>>"$WORK/input.log" &
    STARTED_PIDS+=($!)
    exec 7>"$WORK/input.in" 8<"$WORK/input.out"
    POINTER_X=0 POINTER_Y=0
}

# pointer_step LINE: one step of the input helper ("to X Y", "click",
# "down", "up", and what else the compositor's helper knows), once done.
pointer_step() {
    local reply=""
    echo "$*" >&7
    read -r -t 30 reply <&8 || true
    [ "$reply" = ok ] || fail "$ZORV_COMPOSITOR's input failed: $* ($(cat "$WORK/input.log"))"
}

# pointer STEP...: moves or clicks the compositor's cursor. Steps: "to X Y"
# jumps there, "glide X Y STEPS MS" gets there in STEPS steps MS
# milliseconds apart, "click" clicks the left button, "down" and "up" press
# and release it.
pointer() {
    local i from_x from_y
    while [ "$#" -gt 0 ]; do
        case "$1" in
        to)
            pointer_step to "$2" "$3"
            POINTER_X=$2 POINTER_Y=$3
            shift 3 ;;
        glide)
            from_x=$POINTER_X from_y=$POINTER_Y
            for i in $(seq "$4"); do
                pointer_step to $((from_x + ($2 - from_x) * i / $4)) $((from_y + ($3 - from_y) * i / $4))
                sleep "$(awk -v ms="$5" 'BEGIN { print ms / 1000 }')"
            done
            POINTER_X=$2 POINTER_Y=$3
            shift 5 ;;
        click | down | up)
            pointer_step "$1"
            shift ;;
        *) fail "no such pointer step: $1" ;;
        esac
    done
}

# x11_focused CLASS: the compositor has made a window of this X11 class
# the active one.
x11_focused() {
    local active window
    active=$(xprop -root _NET_ACTIVE_WINDOW | awk '{ print $NF }')
    for window in $(xdotool search --class "$1"); do
        [ "$((active))" = "$window" ] && return 0
    done
    return 1
}

# not COMMAND...: for wait_until, the command fails.
not() {
    ! "$@"
}

# panel_above CLASS: zorv's panel is stacked above every X11 window of this
# class (xwininfo lists the root's children top-most first).
panel_above() {
    local panel order window first
    panel=$(printf '0x%x' "$(panel_window)") || return 1
    order=$(xwininfo -root -children | awk '$1 ~ /^0x/ { print $1 }')
    for window in $(xdotool search --class "$1"); do
        first=$(grep -m1 -xE "$panel|$(printf '0x%x' "$window")" <<<"$order")
        [ "$first" = "$panel" ] || return 1
    done
}

# Milliseconds on a monotonic-enough clock, for measured delays.
now_ms() {
    echo $(($(date +%s%N) / 1000000))
}
