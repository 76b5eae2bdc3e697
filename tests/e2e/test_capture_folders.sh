#!/usr/bin/env bash
# Screenshots reach the shelf from a folder made after launch, from a capture
# tool's own folder, and when they are written in place, chunk by chunk.
source "$(dirname "$0")/lib.sh"

start_x
# Flameshot's setting names a folder of its own; Pictures/Screenshots does
# not exist yet, as on a fresh account.
mkdir -p "$HOME/Flame Shots" "$XDG_CONFIG_HOME/flameshot"
printf '[General]\nsavePath=~/Flame Shots\nsavePathFixed=true\n' >"$XDG_CONFIG_HOME/flameshot/flameshot.ini"
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel"
sleep 0.5

png "$WORK/flame.png"
mv "$WORK/flame.png" "$HOME/Flame Shots/flameshot-1.png"
wait_until 2 stored_contains "screenshot:$HOME/Flame Shots/flameshot-1.png" ||
    fail "a capture in Flameshot's folder was not stored: $(stored_shelf)"
note "Flameshot's folder is watched"

# GNOME makes the folder and saves into it at once.
mkdir -p "$SHOTS" && png "$SHOTS/Screenshot from the first capture.png"
wait_until 2.5 stored_contains "screenshot:$SHOTS/Screenshot from the first capture.png" ||
    fail "the first capture in a folder made after launch was not stored: $(stored_shelf)"
note "Pictures/Screenshots made after launch is watched"

# In place: one open file, 64 KiB at a time, 0.1 s apart, as grim or scrot write.
convert -size 640x360 -seed 5 xc: +noise Random -scale 3840x2160 "PNG24:$WORK/big.png"
size=$(stat -c %s "$WORK/big.png")
exec 3>"$SHOTS/in place.png"
for ((i = 0; i * 65536 < size; i++)); do
    dd if="$WORK/big.png" bs=65536 skip="$i" count=1 status=none >&3
    sleep 0.1
done
exec 3>&-
note "wrote $size bytes in $i chunks"
wait_until 3 stored_contains "screenshot:$SHOTS/in place.png" ||
    fail "a file written in place never reached the shelf: $(stored_shelf)"

# Whole: the card copies exactly the source's pixels.
wait_until 3 panel_at -136 || fail "the peek did not end: x=$(panel_x)"
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
xdotool mousemove $(card_center 1) click 1
clipboard_has_png() { xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qx image/png; }
wait_until 5 clipboard_has_png || fail "a click on the card put no image on the clipboard"
xclip -o -selection clipboard -t image/png >"$WORK/copied.png" || fail "no PNG on the clipboard"
diff=$(compare -metric AE "$WORK/big.png" "$WORK/copied.png" null: 2>&1 || true)
[ "$diff" = 0 ] || fail "the shelf's image differs from the file in $diff pixels"
zorv_running || fail "zorv ended"
