#!/usr/bin/env bash
# Cards sit 8 px below the panel's top and 6 px apart; a click copies a
# text card's text and a screenshot card's image to the clipboard.
source "$(dirname "$0")/lib.sh"

start_x
# Images with the card's own aspect fill it to its 4 px inset.
convert -size 500x340 xc:white "PNG32:$HOME/white.png"
convert -size 500x340 gradient:red-blue "PNG32:$HOME/gradient.png"
seed_items "screenshot:$HOME/gradient.png" "screenshot:$HOME/white.png" \
    "text:https://example.com/a/long/path" "text:copy me exactly"
xdotool mousemove 640 400
start_zorv
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# On the panel's left margin, beside the cards: the panel stays out and no
# card is under the pointer. The picture is taken once it stands still.
xdotool mousemove 5 400
panel_digest() { import -window root -crop "132x450+0+$PANEL_TOP" -depth 8 rgb:- 2>/dev/null | md5sum; }
wait_until 2 steady panel_digest || true
import -window root "$WORK/cards.png"

# light_at Y: whether column x = 60 of the screenshot is light Y px below the
# panel's top. Text and web cards are near white; so is the white image.
light_at() {
    local r g b
    read -r r g b < <(convert "$WORK/cards.png" -crop "1x1+60+$((PANEL_TOP + $1))" -depth 8 txt:- |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p')
    [ "$(brightness "$r" "$g" "$b")" -ge 150 ]
}
# Card 1 (text) spans 8..83, a 6 px gap, card 2 (web) 90..165, a 6 px gap,
# card 3 (the white screenshot) from 172, its image from 176.
for y in 8 83 90 165 176; do
    light_at "$y" || fail "no card face at $y px below the panel's top"
done
for y in 7 84 89 166 171 175; do
    light_at "$y" && fail "a card face reaches $y px below the panel's top"
done
note "cards sit 8 px below the top and 6 px apart"

# From hidden, so that the panel cannot be on its way back in when the
# pointer reaches the edge again.
xdotool mousemove 300 200
wait_until 3 panel_at -136 || fail "the panel did not retract: x=$(panel_x)"
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out again"
# shellcheck disable=SC2046
xdotool mousemove $(card_center 1) click 1
wait_until 2 test "$(xclip -o -selection clipboard 2>/dev/null)" = "copy me exactly" ||
    fail "a click on the text card put '$(xclip -o -selection clipboard 2>/dev/null)' on the clipboard"

# shellcheck disable=SC2046
xdotool mousemove $(card_center 4) click 1
clipboard_has_png() { xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qx image/png; }
wait_until 3 clipboard_has_png || fail "a click on the screenshot card put no image on the clipboard: panel x=$(panel_x)"
xclip -o -selection clipboard -t image/png >"$WORK/copied.png" || fail "no PNG on the clipboard"
diff=$(compare -metric AE "$HOME/gradient.png" "$WORK/copied.png" null: 2>&1 || true)
[ "$diff" = 0 ] || fail "the copied image differs in $diff pixels"
zorv_running || fail "zorv ended"
