#!/usr/bin/env bash
# On a Wayland desktop, with zorv on XWayland: the native Wayland window
# that has the keyboard keeps it through zorv's launch, a peek and a slide
# of the panel; none of zorv's windows takes it.
# compositors: sway mutter kwin
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"

for tool in wev stdbuf; do
    command -v "$tool" >/dev/null || skip "$tool is not installed, so the keyboard focus cannot be watched"
done
start_compositor
# A window only gets the keyboard when the seat has one.
ready_keyboard

# The Wayland window: wev logs each time its keyboard enters or leaves.
FOCUS_LOG="$WORK/wev.log"
stdbuf -oL wev -f wl_keyboard:enter -f wl_keyboard:leave >"$FOCUS_LOG" 2>&1 &
STARTED_PIDS+=($!)
wait_until 10 grep -q "wl_keyboard] enter" "$FOCUS_LOG" || fail "the Wayland window never got the keyboard"

kept_keyboard() {
    ! grep -q "wl_keyboard] leave" "$FOCUS_LOG"
}

# The preview: a visible 132 × 92 zorv window.
preview_shown() {
    local window
    for window in $(xdotool search --onlyvisible --classname zorv 2>/dev/null); do
        case "$(window_geometry "$window")" in *" 132 92") return 0 ;; esac
    done
    return 1
}

seed_shelf first second
pointer to 640 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
# The edge windows are the last of zorv's to map at launch.
wait_until 5 sh -c 'xwininfo -root -children | grep -qF "\"zorv-edge\""' || fail "no edge window"
kept_keyboard || fail "a window of zorv's took the keyboard at launch"
printf 'held text' >"$WORK/clip.txt"
set_clipboard "$WORK/clip.txt"

pointer glide 0 400 4 15
wait_until 1.5 panel_out_to -102 || fail "no peek at the edge: x=$(panel_x)"
kept_keyboard || fail "the peek took the keyboard"
wait_until 2 panel_at 0 || fail "the panel did not slide fully out: x=$(panel_x)"
kept_keyboard || fail "the panel took the keyboard when it slid out"

# Resting on the paste button opens the clipboard's preview below the panel.
top=$(window_geometry "$(panel_window)" | awk '{ print $2 }')
pointer glide 84 $((top + 432)) 6 15
wait_until 2 preview_shown || fail "no preview of the clipboard"
kept_keyboard || fail "the preview took the keyboard"

pointer glide 640 400 8 15
wait_until 1.5 panel_at -136 || fail "the panel stayed out over the Wayland window: x=$(panel_x)"
kept_keyboard || fail "the Wayland window lost the keyboard while the panel came and went"
