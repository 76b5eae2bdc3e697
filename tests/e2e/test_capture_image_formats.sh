#!/usr/bin/env bash
# TIFF and WebP screenshots reach the shelf, as PNG and JPEG ones do: Qt
# reads them through its image format plugins, which Zorv depends on. Only a
# file that decodes becomes a stored card.
source "$(dirname "$0")/lib.sh"

start_x
mkdir -p "$SHOTS"
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel"
# Scanning from now on: an inotify watch on the folder (fdinfo names each
# watched inode in hex).
inode=$(printf '%x' "$(stat -c %i "$SHOTS")")
watched() { grep -qs "^inotify .* ino:$inode " /proc/"$ZORV_PID"/fdinfo/*; }
wait_until 5 watched || fail "the screenshot folder is not watched"

# Written elsewhere and renamed in, as most capture tools finish a file.
for format in tiff webp; do
    convert -size 96x64 xc:orange "$format:$WORK/shot.$format" || fail "convert cannot write $format"
    mv "$WORK/shot.$format" "$SHOTS/Screenshot.$format"
    wait_until 3 stored_contains "screenshot:$SHOTS/Screenshot.$format" ||
        fail "a $format screenshot was not stored: $(stored_shelf)"
    note "a $format screenshot is stored"
done

zorv_running || fail "zorv ended"
