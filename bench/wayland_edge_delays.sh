#!/usr/bin/env bash
# How long the panel takes to come out at the left edge and to go back,
# over a native Wayland window, under a headless compositor with zorv on
# XWayland:
#   ZORV_COMPOSITOR=kwin bash bench/wayland_edge_delays.sh build/zorv [rounds] [way back]
# (sway unless ZORV_COMPOSITOR names another harness in tests/e2e/compositors).
# Per round, in milliseconds: from the cursor's arrival at the edge (a
# glide of 4 steps 15 ms apart), until the 30-point strip is out (peek) and
# until the whole panel is (out); from the cursor's first step away, until
# the panel is hidden again (hide). The way back is "glide" (from the edge
# to the middle of the screen in 8 steps 15 ms apart, the default), "flick"
# (from the edge to the middle in one step) or "card" (from the middle of
# the top card to the middle in one step). "-" where it did not happen within 3 s; the
# rounds end there, as the panel is then stuck out. The panel's position
# is read about every 20 ms.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export ZORV_TEST_HELPERS=${ZORV_TEST_HELPERS:-$(dirname "$(readlink -f "$1")")}
rounds=${2:-10}
way=${3:-glide}
set -- "$1"
source "$here/../tests/e2e/lib.sh"
source "$here/../tests/e2e/wayland.sh"

start_compositor
start_wayland_window
seed_shelf first second
pointer to 640 400
start_zorv
wait_until 5 panel_window || fail "no panel window"
panel=$(panel_window)
x_of_panel() { xwininfo -id "$panel" | awk '/Absolute upper-left X/ { print $4 }'; }

# ms_until TEST [START]: milliseconds from START (now) until the panel's x
# passes TEST ("-" after 3 s).
ms_until() {
    local start=${2:-$(now_ms)} now x
    while :; do
        x=$(x_of_panel)
        now=$(now_ms)
        if eval "$1"; then
            echo $((now - start))
            return
        fi
        [ $((now - start)) -lt 3000 ] || { echo -; return; }
        sleep 0.02
    done
}

echo "round peek_ms out_ms hide_ms ($way)"
for round in $(seq "$rounds"); do
    wait_until 3 panel_at -136 || fail "the panel did not go back before round $round"
    # The cursor moves in this shell, which keeps its position.
    pointer glide 200 400 4 15
    pointer glide 0 400 4 15
    arrived=$(now_ms)
    peek=$(ms_until '[ "$x" -ge -102 ]' "$arrived")
    out=$(ms_until '[ "$x" -ge 0 ]' "$arrived")
    left=$(now_ms)
    case "$way" in
    glide) pointer glide 640 400 8 15 ;;
    flick) pointer to 640 400 ;;
    card)
        read -r cx cy < <(card_center 1)
        pointer glide "$cx" "$cy" 4 15
        sleep 0.3
        left=$(now_ms)
        pointer to 640 400 ;;
    *) fail "no such way back: $way" ;;
    esac
    hide=$(ms_until '[ "$x" -le -136 ]' "$left")
    echo "$round $peek $out $hide"
    [ "$hide" != - ] || break
done
