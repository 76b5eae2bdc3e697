# Harness of the end-to-end tests on a Wayland desktop: a headless sway
# whose XWayland server is zorv's display, a native Wayland window, and a
# virtual pointer. Source it after lib.sh. Where sway or XWayland cannot
# start here, the test is skipped (exit status 77), not passed.

SKIP_STATUS=77
SWAY_LOG="$WORK/sway.log"

skip() {
    echo "SKIP: $*" >&2
    [ ! -f "$SWAY_LOG" ] || tail -n 20 "$SWAY_LOG" >&2
    exit "$SKIP_STATUS"
}

# Starts sway on the headless backend with one 1280 × 800 output and
# exports DISPLAY (its XWayland) and WAYLAND_DISPLAY. sway refuses to run
# as root, so under root it runs as nobody; its own runtime folder belongs
# to that user, and root is let into its X server.
start_sway() {
    local tool
    for tool in sway Xwayland xhost; do
        command -v "$tool" >/dev/null || skip "$tool is not installed, so sway with XWayland cannot start"
    done
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
        "${as_user[@]}" sway -c "$WORK/sway.config" >"$SWAY_LOG" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 15 test -s "$SWAY_RUN/session" || skip "sway or its XWayland did not start"
    local display wayland
    read -r display wayland <"$SWAY_RUN/session"
    [ -n "$display" ] && [ -n "$wayland" ] || skip "sway started without XWayland"
    export DISPLAY="$display" WAYLAND_DISPLAY="$SWAY_RUN/$wayland"
    SWAYSOCK=$(echo "$SWAY_RUN"/sway-ipc.*.sock)
    export SWAYSOCK
    wait_until 10 xdpyinfo || skip "XWayland on $DISPLAY does not answer"
    note "sway on $WAYLAND_DISPLAY, XWayland on $DISPLAY"
    start_pointer
}

# Starts the virtual pointer, one device for the whole test, fed through
# a pipe.
start_pointer() {
    mkfifo "$WORK/pointer.in" "$WORK/pointer.out"
    "$ZORV_TEST_HELPERS/virtual_pointer" 1280 800 <"$WORK/pointer.in" >"$WORK/pointer.out" 2>>"$WORK/pointer.log" &
    STARTED_PIDS+=($!)
    exec 7>"$WORK/pointer.in" 8<"$WORK/pointer.out"
    POINTER_X=0 POINTER_Y=0
}

# pointer_step LINE: one step of the virtual pointer, once it is done.
pointer_step() {
    local reply=""
    echo "$*" >&7
    read -r -t 30 reply <&8 || true
    [ "$reply" = ok ] || fail "the virtual pointer failed: $* ($(cat "$WORK/pointer.log"))"
}

# pointer STEP...: moves or clicks the compositor's cursor. Steps: "to X Y"
# jumps there, "glide X Y STEPS MS" gets there in STEPS steps MS
# milliseconds apart, "click" clicks the left button.
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
        click)
            pointer_step click
            shift ;;
        *) fail "no such pointer step: $1" ;;
        esac
    done
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
