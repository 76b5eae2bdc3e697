# Shared harness of the end-to-end tests: a private X server, an isolated
# home, the real zorv binary, and cleanup of every process it started.
# Source it with the zorv binary as $1.
set -euo pipefail

ZORV_BIN=$(readlink -f "$1")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zorv-e2e.XXXXXX")
STARTED_PIDS=()
ZORV_PID=""

# Ends every process the test started, one by one and newest first, so that
# a client has gone before its server (a compositor's bus) goes. Each is
# waited for with everything it started (a compositor's XWayland, zorv under
# its launcher): nothing of one test may linger into the next, which may get
# the same display number. What is still there after a while (a compositor
# stuck in its own shutdown) is killed outright, so that a test never hangs
# in its cleanup.
STOP_GRACE_SECONDS=5
stop_started() {
    local i pid family end=$((SECONDS + STOP_GRACE_SECONDS))
    for ((i = ${#STARTED_PIDS[@]} - 1; i >= 0; i--)); do
        mapfile -t family < <(descendants "${STARTED_PIDS[i]}")
        family=("${STARTED_PIDS[i]}" "${family[@]}")
        kill "${family[@]}" 2>/dev/null || true
        for pid in "${family[@]}"; do
            while running "$pid" && [ "$SECONDS" -lt "$end" ]; do
                sleep 0.05
            done
            kill -KILL "$pid" 2>/dev/null || true
        done
        wait "${family[0]}" 2>/dev/null || true
    done
}

# running PID: the process has not ended (a zombie has, though nobody may
# have collected it yet).
running() {
    local state
    state=$(ps -o stat= -p "$1") && [ "${state:0:1}" != Z ]
}

# descendants PID: the processes PID started, theirs, and so on.
descendants() {
    local child
    for child in $(pgrep -P "$1"); do
        echo "$child"
        descendants "$child"
    done
}

cleanup() {
    local status=$?
    stop_started
    if [ "$status" -ne 0 ]; then
        show_log zorv "$WORK/zorv.log"
        # Whether the display server itself went away or complained.
        show_log "X server" "$WORK/xvfb.log"
        show_log compositor "$WORK/compositor.log"
    fi
    if [ -n "${KEEP_ARTIFACTS:-}" ]; then
        echo "artifacts kept in $WORK" >&2
    else
        rm -rf "$WORK"
    fi
    exit "$status"
}
trap cleanup EXIT

# show_log NAME FILE: the end of a log that has anything in it, on stderr.
show_log() {
    [ -s "$2" ] || return 0
    echo "--- $1 log ---" >&2
    tail -n 200 "$2" >&2
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

note() {
    echo "# $*"
}

# Private environment: nothing of the caller's session leaks in.
export HOME="$WORK/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_RUNTIME_DIR="$WORK/run"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache"
export TMPDIR="$WORK/tmp"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
CONF="$XDG_CONFIG_HOME/zorv/zorv.conf"

# Zorv's pointer poll sleeps until the pointer moves, and a warp (xdotool
# mousemove X Y) raises no raw motion: a real pointer never jumps without
# moving. After each warp, a one-pixel XTEST nudge down and back stands in for
# the hand on the mouse.
xdotool() {
    command xdotool "$@" || return
    if [ "${1:-}" = mousemove ]; then
        command xdotool mousemove_relative 0 1 mousemove_relative -- 0 -1
    fi
}

# wait_until SECONDS COMMAND...: polls the command every 50 ms until it
# succeeds (status 0) or the time, which may be fractional, runs out. The
# times in the tests are what a quiet machine needs; a busy one (a build
# beside the tests, two cores) may take several times as long, so each is
# stretched by ZORV_WAIT_SCALE. A wait ends as soon as its state is there:
# only a failing wait takes longer, and no wait stands for a time limit of
# the program's.
ZORV_WAIT_SCALE=${ZORV_WAIT_SCALE:-5}
wait_until() {
    local limit_ms
    limit_ms=$(awk -v s="$1" -v scale="$ZORV_WAIT_SCALE" 'BEGIN { printf "%d", s * scale * 1000 }')
    shift
    local end=$(($(date +%s%N) / 1000000 + limit_ms))
    until "$@" >/dev/null 2>&1; do
        [ "$(($(date +%s%N) / 1000000))" -lt "$end" ] || return 1
        sleep 0.05
    done
}

# steady COMMAND...: for wait_until, two reads of what the command prints,
# a moment apart, agree (a fade or slide is over).
steady() {
    local first
    first=$("$@") || return
    sleep 0.1
    [ "$("$@")" = "$first" ]
}

# Starts Xvfb on a free display number and exports DISPLAY.
start_x() {
    local size=${1:-1280x800x24}
    local fdfile="$WORK/displayfd"
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$fdfile" >"$WORK/xvfb.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 test -s "$fdfile" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$fdfile")"
    wait_until 10 xdpyinfo || fail "X server $DISPLAY does not answer"
}

start_tray() {
    trayer --edge top --align right --widthtype request --height 24 >"$WORK/trayer.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 xdotool search --classname panel || fail "trayer did not map its panel"
}

start_openbox() {
    openbox >"$WORK/openbox.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 10 xprop -root _NET_SUPPORTING_WM_CHECK || fail "openbox did not start"
}

# Starts zorv in the background. Each launch gets its own pid and status
# files, so a previous launch that ends late cannot be mistaken for this one.
LAUNCH=0
start_zorv() {
    LAUNCH=$((LAUNCH + 1))
    local pidfile="$WORK/zorv.$LAUNCH.pid" statusfile="$WORK/zorv.$LAUNCH.status"
    (
        set +e
        "$ZORV_BIN" >>"$WORK/zorv.log" 2>&1 &
        child=$!
        echo "$child" >"$pidfile"
        wait "$child" 2>/dev/null
        echo $? >"$statusfile"
    ) 2>/dev/null &
    STARTED_PIDS+=($!)
    wait_until 5 test -s "$pidfile" || fail "zorv did not start"
    ZORV_PID=$(cat "$pidfile")
    ZORV_STATUS_FILE=$statusfile
    STARTED_PIDS+=("$ZORV_PID")
}

zorv_running() {
    kill -0 "$ZORV_PID" 2>/dev/null && [ ! -e "$ZORV_STATUS_FILE" ]
}

# Waits up to SECONDS (default 5) for the current launch to end; prints its status.
zorv_exit_status() {
    wait_until "${1:-5}" test -s "$ZORV_STATUS_FILE" || return 1
    cat "$ZORV_STATUS_FILE"
}

# window_geometry ID: "x y width height" in root coordinates.
window_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { if (w == "") exit 1; print x, y, w, h }'
}

# The docked tray icon: a visible zorv window inside trayer's panel.
tray_icon_window() {
    local panel px py pw ph window x y w h
    panel=$(xdotool search --onlyvisible --classname panel 2>/dev/null | head -n1)
    [ -n "$panel" ] || return 1
    read -r px py pw ph < <(window_geometry "$panel") || return 1
    for window in $(xdotool search --onlyvisible --classname zorv 2>/dev/null); do
        read -r x y w h < <(window_geometry "$window") || continue
        if [ "$x" -ge "$px" ] && [ "$y" -ge "$py" ] && [ $((x + w)) -le $((px + pw)) ] && [ $((y + h)) -le $((py + ph)) ]; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

# Center of a window in root coordinates: "x y".
window_center() {
    local x y w h
    read -r x y w h < <(window_geometry "$1") || return 1
    echo "$((x + w / 2)) $((y + h / 2))"
}

# The shelf panel: the 132 × 450 zorv window.
panel_window() {
    local window x y w h
    for window in $(xdotool search --onlyvisible --classname zorv 2>/dev/null); do
        read -r x y w h < <(window_geometry "$window") || continue
        if [ "$w" = 132 ] && [ "$h" = 450 ]; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

panel_x() {
    local window x y w h
    window=$(panel_window) || return 1
    read -r x y w h < <(window_geometry "$window") || return 1
    echo "$x"
}

# For wait_until: the panel's left edge is at X.
panel_at() {
    [ "$(panel_x)" = "$1" ]
}

# For wait_until: the panel's left edge is at X or further out.
panel_out_to() {
    local x
    x=$(panel_x) && [ "$x" -ge "$1" ]
}

visible_zorv_windows() {
    xdotool search --onlyvisible --classname zorv 2>/dev/null | wc -l
}

# The stored shelf as "type:value" lines, oldest first. QSettings writes the
# list either as keys of [General] or as its own [zorv.shelf.items] section.
stored_shelf() {
    [ -f "$CONF" ] || return 0
    awk '
        /^\[/ { section = $0; next }
        {
            eq = index($0, "="); if (eq == 0) next
            key = substr($0, 1, eq - 1); value = substr($0, eq + 1)
            if (section == "[zorv.shelf.items]") key = "zorv.shelf.items/" key
            else if (section != "[General]") next
            gsub(/\\/, "/", key)
            n = split(key, parts, "/")
            if (parts[1] != "zorv.shelf.items" || n != 3) next
            entry[parts[2], parts[3]] = value
            if (parts[2] + 0 > max) max = parts[2] + 0
        }
        END {
            for (i = 1; i <= max; i++)
                print entry[i, "type"] ":" (entry[i, "type"] == "text" ? entry[i, "text"] : entry[i, "url"])
        }
    ' "$CONF"
}

stored_size() {
    stored_shelf | wc -l
}

# For wait_until, which needs a command it can run again.
stored_size_is() {
    [ "$(stored_size)" = "$1" ]
}

# seed_shelf TEXT...: a zorv.conf holding the given text items, oldest first.
seed_shelf() {
    local texts=() text
    for text in "$@"; do
        texts+=("text:$text")
    done
    seed_items "${texts[@]}"
}

# seed_items TYPE:VALUE...: writes a zorv.conf holding these items, oldest
# first, e.g. "text:hello" or "screenshot:/path/to/file.png".
seed_items() {
    mkdir -p "$(dirname "$CONF")"
    {
        echo "[General]"
        local i=0 item
        for item in "$@"; do
            i=$((i + 1))
            local type=${item%%:*} value=${item#*:}
            local key=$([ "$type" = text ] && echo text || echo url)
            echo "zorv.shelf.items\\$i\\type=$type"
            echo "zorv.shelf.items\\$i\\$key=$value"
        done
        echo "zorv.shelf.items\\size=$i"
    } >"$CONF"
    mark_store
}

# Remembers the store as it is now, for store_rewritten.
mark_store() {
    STORE_MARK=$(md5sum <"$CONF")
}

# True once zorv has written the store differently since mark_store.
store_rewritten() {
    [ "$(md5sum <"$CONF")" != "$STORE_MARK" ]
}

# card_shown N: the shown panel has a card in slot N (1 is the top). Card
# faces are lighter than the panel around them.
card_shown() {
    local r g b
    read -r r g b < <(pixel 100 $((PANEL_TOP + 8 + ($1 - 1) * 82 + 60)))
    [ "$(brightness "$r" "$g" "$b")" -ge 40 ]
}

# pixel X Y: the colour of a root-window pixel as "r g b" (0-255).
pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# brightness R G B: the mean of the channels.
brightness() {
    echo $((($1 + $2 + $3) / 3))
}

# The screenshot folder of the isolated home, created before zorv starts.
SHOTS="$HOME/Pictures/Screenshots"

# png PATH [SIZE] [COLOR]: writes a PNG image.
png() {
    convert -size "${2:-64x48}" "xc:${3:-red}" "PNG32:$1"
}

# set_clipboard ARGS...: xclip owns the clipboard in the foreground until the
# test ends or the next call replaces it. Give the content as a file: a
# background job reads nothing from standard input.
# It returns once the new xclip says that it owns the clipboard (asking it
# could wait behind zorv's own read, which may be huge).
CLIP_PID=""
CLIPS=0
set_clipboard() {
    if [ -n "$CLIP_PID" ]; then
        kill "$CLIP_PID" 2>/dev/null || true
        wait "$CLIP_PID" 2>/dev/null || true
    fi
    CLIPS=$((CLIPS + 1))
    local log="$WORK/xclip.$CLIPS.log"
    xclip -verbose -selection clipboard "$@" >"$log" 2>&1 &
    CLIP_PID=$!
    STARTED_PIDS+=("$CLIP_PID")
    wait_until 4 grep -q "^Waiting for selection requests" "$log" || fail "xclip did not take the clipboard: $(cat "$log")"
}

# Brings the panel fully out with the pointer and clicks a footer button.
PANEL_TOP=175
PASTE_BUTTON="84 $((PANEL_TOP + 432))"
HISTORY_BUTTON="48 $((PANEL_TOP + 432))"
click_footer_button() {
    xdotool mousemove 0 400
    wait_until 2 panel_at 0 || fail "the panel did not come out for a click"
    # shellcheck disable=SC2086
    xdotool mousemove $1 click 1
}

stored_contains() {
    stored_shelf | grep -qF -- "$1"
}

# card_center N: the centre of the body of the card in slot N (1 is the top)
# of the shown panel.
card_center() {
    echo "$((12 + 54)) $((PANEL_TOP + 8 + ($1 - 1) * 82 + 38))"
}

# A drag by hand: drag_press X Y presses there, drag_to X Y moves there in
# small steps (each an XDND position and its answer), drag_release lets go.
# Between them the test waits for what it expects to see at each point.
drag_press() {
    xdotool mousemove "$1" "$2"
    xdotool mousedown 1
    DRAG_X=$1 DRAG_Y=$2
}
drag_to() {
    local i steps=12
    for i in $(seq 1 "$steps"); do
        xdotool mousemove $((DRAG_X + ($1 - DRAG_X) * i / steps)) $((DRAG_Y + ($2 - DRAG_Y) * i / steps))
        sleep 0.06
    done
    DRAG_X=$1 DRAG_Y=$2
}
# Nothing outside the two programs shows that the target has answered the
# last position, so the release comes after a pause long enough for that
# exchange on a busy machine.
drag_release() {
    sleep 0.3
    xdotool mouseup 1
}

# drag_with_steps X1 Y1 X2 Y2 [X3 Y3 ...]: presses at the first point,
# moves through the others and releases at the last.
drag_with_steps() {
    drag_press "$1" "$2"
    shift 2
    while [ "$#" -ge 2 ]; do
        drag_to "$1" "$2"
        shift 2
    done
    drag_release
}

# Two taps of the leader, Alt + Super, through XTEST: held 0.2 s with a
# 0.15 s gap, well inside the limits and long enough for the 60 Hz poll to
# see each tap on a busy machine. One xdotool process sends the whole
# gesture, ahead of other programs where it may, so that a busy machine
# does not stretch it (without the right to raise its priority it runs at
# the usual one).
double_tap() {
    nice -n -10 xdotool keydown alt super sleep 0.2 keyup alt super sleep 0.15 \
        keydown alt super sleep 0.2 keyup alt super 2>/dev/null
}

# start_peer ARGS...: starts a dnd_peer and waits for its own window, not
# one of an earlier peer.
peer_windows() { { xdotool search --onlyvisible --name "dnd peer" 2>/dev/null || true; } | wc -l; }
more_peer_windows_than() { [ "$(peer_windows)" -gt "$1" ]; }
start_peer() {
    local before
    before=$(peer_windows)
    "$ZORV_TEST_HELPERS/dnd_peer" "$@" >>"$WORK/peer.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_until 5 more_peer_windows_than "$before" || fail "the peer window did not appear"
}
