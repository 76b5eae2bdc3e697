#!/usr/bin/env bash
# The leader in the real program: a double tap of Alt + Super brings the
# panel out with key caps, a digit copies its card, x then a digit deletes
# one, Escape takes everything back, and nothing stays grabbed.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf "third card" "second card" "first card"
start_zorv # the pointer rests in the middle of the screen, away from the panel
wait_until 5 panel_window || fail "no panel window"

# arm WHY: a double tap brings the panel fully out.
arm() {
    double_tap
    wait_until 2 panel_at 0 || fail "a double tap did not bring the panel out ($1): x=$(panel_x)"
}
brightness_at() {
    local r g b
    read -r r g b < <(pixel "$1" "$2")
    brightness "$r" "$g" "$b"
}
in_range() { [ "$1" -ge "$2" ] && [ "$1" -le "$3" ]; }

# The second card's cap, 5 px below the card's top edge and 4 px inside its
# right edge: the grey slab along the cap's bottom, the light face above it.
CAP_X=108 SLAB_Y=$((PANEL_TOP + 8 + 82 + 5 + 14)) FACE_Y=$((PANEL_TOP + 8 + 82 + 5 + 6))
PASTE_CAP="104 $((PANEL_TOP + 432))"

# caps_up: the second card's cap and the dimmed paste cap have faded in.
caps_up() {
    # shellcheck disable=SC2086
    in_range "$(brightness_at "$CAP_X" "$SLAB_Y")" 110 160 && in_range "$(brightness_at 104 "$FACE_Y")" 195 230 &&
        in_range "$(brightness_at $PASTE_CAP)" 80 170
}
# delete_mode_shown: the second card's cap has turned red.
delete_mode_shown() {
    local r g b
    read -r r g b < <(pixel 104 "$FACE_Y")
    [ "$r" -ge $((g + 60)) ] && [ "$r" -ge $((b + 60)) ]
}

double_tap
wait_until 2 panel_at 0 || fail "a double tap did not bring the panel out: x=$(panel_x)"
wait_until 2 caps_up || true # each is checked below, with what it shows
slab=$(brightness_at "$CAP_X" "$SLAB_Y")
in_range "$slab" 110 160 || fail "no cap slab on the second card: brightness $slab"
face=$(brightness_at 104 "$FACE_Y")
in_range "$face" 195 230 || fail "no cap face on the second card: brightness $face"
# shellcheck disable=SC2086
paste_cap=$(brightness_at $PASTE_CAP)
in_range "$paste_cap" 80 170 || fail "no dimmed cap beside the paste button: brightness $paste_cap"
import -window root "$WORK/armed.png"

xdotool key 2
wait_until 2 test "$(xclip -o -selection clipboard 2>/dev/null)" = "second card" ||
    fail "2 put '$(xclip -o -selection clipboard 2>/dev/null)' on the clipboard"
wait_until 2 panel_at -136 || fail "the panel stayed out after the copy: x=$(panel_x)"
# shellcheck disable=SC2086
[ "$(brightness_at $PASTE_CAP)" -le 60 ] || fail "the paste cap outlived the hints"
note "2 copied the second card and the panel went back"

arm "for delete"
mark_store
xdotool key x
wait_until 2 delete_mode_shown || fail "x did not turn the caps red: $(pixel 104 "$FACE_Y")"
xdotool key 1
wait_until 2 store_rewritten || fail "x then 1 did not change the stored shelf"
[ "$(stored_shelf | tr '\n' ,)" = "text:third card,text:second card," ] ||
    fail "x then 1 left the shelf as: $(stored_shelf | tr '\n' ,)"
note "x then 1 deleted the top card"

# The hints go 0.45 s after the delete, and with them the panel.
wait_until 2 panel_at -136 || fail "the panel stayed out after the delete: x=$(panel_x)"
arm "for Escape"
xdotool key Escape
wait_until 1.5 panel_at -136 || fail "Escape did not hide the panel: x=$(panel_x)"

# Not armed: nothing is grabbed, so another client can take "1" (X key 10).
"$ZORV_TEST_HELPERS/key_grabber" 10 >"$WORK/grab.log" &
STARTED_PIDS+=($!)
wait_until 2 grep -q "^grabbed$" "$WORK/grab.log" || fail "a key stayed grabbed: $(cat "$WORK/grab.log")"
zorv_running || fail "zorv ended"
