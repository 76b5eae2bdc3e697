#!/usr/bin/env bash
# How soon a click on the card of a 3840 x 2160 JPEG screenshot reaches the
# clipboard, on Xvfb with the real binary.
#   bash bench/copy_latency.sh build/zorv [rounds] [screen|photo]
# The image is screen-like (flat areas, text, one gradient) or, with
# "photo", a noisy fractal that compresses badly. Prints per round, in
# milliseconds from the click: when the clipboard first offers a type (the
# file's own, image/jpeg), when it lists image/png, and when
# `xclip -selection clipboard -t image/png -o` has given the whole PNG.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rounds=${2:-5}
kind=${3:-screen}
set -- "$1"
source "$here/../tests/e2e/lib.sh"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
targets() { xclip -selection clipboard -t TARGETS -o 2>/dev/null || true; }

start_x
if [ "$kind" = photo ]; then
    convert -size 3840x2160 plasma:fractal -quality 90 "$HOME/big.jpg"
else
    convert -size 3840x2160 xc:'#f0f0f0' -fill '#3060a0' -draw "rectangle 0,0 3840,80" \
        -fill white -draw "rectangle 200,200 1800,2000" -fill '#202020' -pointsize 28 \
        -draw "text 240,260 'The quick brown fox jumps over the lazy dog 0123456789'" \
        -fill '#e0e8f0' -draw "rectangle 2000,200 3600,2000" \
        \( -size 1200x800 gradient:orange-purple \) -geometry +2200+400 -composite -quality 90 "$HOME/big.jpg"
fi
seed_items "screenshot:$HOME/big.jpg"
xdotool mousemove 640 400
start_zorv
xdotool mousemove 0 400
wait_until 5 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
xdotool mousemove $(card_center 1)

echo "round first_type_ms png_listed_ms png_read_ms png_bytes"
for round in $(seq "$rounds"); do
    echo "not the image" >"$WORK/text"
    set_clipboard -i "$WORK/text"
    wait_until 3 test "$(xclip -selection clipboard -o 2>/dev/null)" = "not the image" || fail "xclip did not take the clipboard"
    start=$(now_ms)
    xdotool click 1
    first="" listed="" png=""
    while [ -z "$png" ]; do
        now=$(now_ms)
        offered=$(targets)
        if [ -z "$first" ] && grep -q '^image/' <<<"$offered"; then
            first=$((now - start))
        fi
        if [ -z "$listed" ] && grep -qx 'image/png' <<<"$offered"; then
            listed=$((now - start))
        fi
        if xclip -selection clipboard -t image/png -o >"$WORK/copied.png" 2>/dev/null &&
            [ "$(head -c 4 "$WORK/copied.png" | tail -c 3)" = PNG ]; then
            png=$(($(now_ms) - start))
        fi
        [ $((now - start)) -lt 10000 ] || fail "no PNG in round $round"
    done
    echo "$round ${first:-$png} ${listed:-$png} $png $(stat -c %s "$WORK/copied.png")"
done
