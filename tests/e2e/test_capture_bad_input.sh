#!/usr/bin/env bash
# Hostile files in the screenshot folder and a huge clipboard text never
# crash, hang or freeze Zorv, and add nothing.
source "$(dirname "$0")/lib.sh"

start_x
mkdir -p "$SHOTS"
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel"
sleep 0.5

echo "not an image" >"$SHOTS/text.png"
png "$WORK/full.png" 800x600
head -c 2000 "$WORK/full.png" >"$SHOTS/truncated.png"
# 60000 x 60000 pixels in a few KB.
printf '\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00\xea\x60\x00\x00\xea\x60\x08\x06\x00\x00\x00\x00\x00\x00\x00' >"$SHOTS/bomb.png"
head -c 4096 /dev/zero >>"$SHOTS/bomb.png"
mkdir "$SHOTS/dir.png"
mkfifo "$SHOTS/fifo.png"
ln -s /dev/zero "$SHOTS/zero.png"
png "$SHOTS/unreadable.png" && chmod 000 "$SHOTS/unreadable.png"
truncate -s 500M "$SHOTS/huge.png"
sleep 3
zorv_running || fail "zorv died on hostile files"
stored=$(stored_shelf)
if [ "$(id -u)" = 0 ]; then
    # root reads through chmod 000, so that file is a valid image here.
    stored=$(grep -v unreadable.png <<<"$stored" || true)
fi
[ -z "$stored" ] || fail "hostile files reached the shelf: $stored"

# Still responsive: a real screenshot is picked up at once.
png "$WORK/ok.png"
mv "$WORK/ok.png" "$SHOTS/ok.png"
wait_until 2 stored_contains "ok.png" || fail "zorv stopped picking up screenshots"

# A 10 MB clipboard text: stored whole, and the panel keeps sliding.
head -c 10000000 /dev/urandom | base64 -w 100 >"$WORK/big.txt"
set_clipboard -i "$WORK/big.txt"
sleep 0.6
click_footer_button "$PASTE_BUTTON"
xdotool mousemove 640 400
wait_until 6 panel_at -136 || fail "the panel froze after a huge text: x=$(panel_x)"
wait_until 5 test "$(stat -c %s "$CONF")" -gt 10000000 || fail "the huge text was not stored"
zorv_running || fail "zorv ended"
