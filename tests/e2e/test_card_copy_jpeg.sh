#!/usr/bin/env bash
# A click on the card of a JPEG screenshot offers the file's own bytes as
# image/jpeg, and the same picture as image/png soon after, in the same
# clipboard content.
source "$(dirname "$0")/lib.sh"

start_x
convert -size 640x400 gradient:red-blue -quality 95 "$HOME/shot.jpg"
seed_items "screenshot:$HOME/shot.jpg"
xdotool mousemove 640 400
start_zorv
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
xdotool mousemove $(card_center 1) click 1

offers() { xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx "$1"; }
wait_until 3 offers image/png || fail "no PNG on the clipboard: $(xclip -selection clipboard -t TARGETS -o 2>&1)"
offers image/jpeg || fail "the file's own type is no longer offered"
xclip -selection clipboard -t image/jpeg -o >"$WORK/copied.jpg"
cmp -s "$WORK/copied.jpg" "$HOME/shot.jpg" || fail "image/jpeg is not the file's bytes"
xclip -selection clipboard -t image/png -o >"$WORK/copied.png"
diff=$(compare -fuzz 2% -metric AE "$HOME/shot.jpg" "$WORK/copied.png" null: 2>&1 || true)
[ "$diff" = 0 ] || fail "the PNG differs from the JPEG in $diff pixels"
zorv_running || fail "zorv ended"
