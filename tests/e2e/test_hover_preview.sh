#!/usr/bin/env bash
# Resting on the paste or the history button of the shown panel opens a
# 132 × 92 card 6 px below the panel; the card stays while the pointer is on
# it, a click takes its item onto the shelf, and moving away closes it.
# Once on a bare X server, once under openbox.
source "$(dirname "$0")/lib.sh"

# The preview: a visible 132 × 92 zorv window; prints its geometry.
preview_geometry() {
    local window geometry
    for window in $(xdotool search --onlyvisible --classname zorv 2>/dev/null); do
        geometry=$(window_geometry "$window") || continue
        case "$geometry" in *" 132 92") echo "$geometry" && return 0 ;; esac
    done
    return 1
}
preview_at() { [ "$(preview_geometry)" = "$1" ]; }
no_preview() { ! preview_geometry; }
peer_gone() { ! xdotool search --onlyvisible --name "dnd peer"; }
plus_brightness() {
    local r g b
    read -r r g b < <(pixel 84 $((PANEL_TOP + 432)))
    brightness "$r" "$g" "$b"
}
brighter_than() { [ "$(plus_brightness)" -gt "$1" ]; }
BELOW_PANEL="0 $((PANEL_TOP + 450 + 6)) 132 92"
PREVIEW_CARD="66 $((PANEL_TOP + 450 + 6 + 46))"

# hover_and_take BUTTON WHAT: rests on the button, checks the card, moves
# onto it, clicks it, and checks that WHAT is now the newest stored item.
hover_and_take() {
    xdotool mousemove 0 400
    wait_until 2 panel_at 0 || fail "the panel did not come out ($2)"
    # shellcheck disable=SC2086
    xdotool mousemove $1
    wait_until 1.5 preview_at "$BELOW_PANEL" || fail "no preview below the panel for $2: $(preview_geometry)"
    # shellcheck disable=SC2046
    xdotool mousemove $(echo "$1" | cut -d' ' -f1) $((PANEL_TOP + 450 + 10))
    sleep 0.2
    # shellcheck disable=SC2086
    xdotool mousemove $PREVIEW_CARD
    sleep 0.3
    preview_at "$BELOW_PANEL" || fail "the preview closed when the pointer moved onto it ($2)"
    [ "$2" = "the clipboard" ] && import -window root "$WORK/preview.png"
    mark_store
    xdotool click 1
    wait_until 2 store_rewritten || fail "a click on the preview of $2 stored nothing"
    [ "$(stored_shelf | tail -n 1)" = "text:$3" ] || fail "the newest item is $(stored_shelf | tail -n 1), not $3"
    xdotool mousemove 640 400
    wait_until 1.5 no_preview || fail "the preview of $2 stayed after the pointer left"
}

run_case() {
    seed_shelf one two three four five
    start_zorv
    wait_until 5 panel_window || fail "no panel window"
    xdotool mousemove 0 400
    wait_until 2 panel_at 0 || fail "the panel did not come out"
    wait_until 2 steady plus_brightness || true
    empty=$(plus_brightness)
    printf 'held text' >"$WORK/clip.txt"
    set_clipboard "$WORK/clip.txt"
    # The plus button brightens once the clipboard check has taken the text.
    wait_until 2 brighter_than "$empty" || fail "the plus button did not brighten: $empty before, $(plus_brightness) after"
    wait_until 2 steady plus_brightness || true
    held=$(plus_brightness)

    hover_and_take "84 $((PANEL_TOP + 432))" "the clipboard" "held text"
    xdotool mousemove 0 400
    wait_until 2 panel_at 0 || fail "the panel did not come out after the take"
    [ "$(plus_brightness)" -lt "$held" ] || fail "the plus button did not dim: $held before, $(plus_brightness) after"
    note "the clipboard's preview took its text and the plus button dimmed ($1)"

    hover_and_take "48 $((PANEL_TOP + 432))" "the history" "one"
    note "the history's preview brought back the evicted item ($1)"

    # A card dragged out of the preview carries its item.
    rm -f "$WORK/dropped.txt"
    start_peer drop "$WORK/dropped.txt" 600 200
    peer=${STARTED_PIDS[-1]}
    printf 'dragged out' >"$WORK/clip.txt"
    set_clipboard "$WORK/clip.txt"
    xdotool mousemove 0 400
    wait_until 2 panel_at 0 || fail "the panel did not come out for the drag"
    xdotool mousemove 84 $((PANEL_TOP + 432))
    wait_until 1.5 preview_at "$BELOW_PANEL" || fail "no preview to drag from"
    # shellcheck disable=SC2086
    drag_with_steps $PREVIEW_CARD 700 300
    wait_until 3 grep -qx "text:dragged out" "$WORK/dropped.txt" || fail "the peer got: $(cat "$WORK/dropped.txt")"
    kill "$ZORV_PID" "$peer"
    wait_until 5 peer_gone || fail "the peer did not close"
    wait_until 5 test -s "$ZORV_STATUS_FILE" || fail "zorv did not end"
}

start_x
run_case "no window manager"
start_openbox
run_case "openbox"
note "cards dragged out of the preview reached the other program"
