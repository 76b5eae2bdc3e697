#!/usr/bin/env bash
# Screenshots reach the shelf from each capture tool's folder: one made after
# launch, gnome-screenshot's Pictures folder (where photos do not count), a
# folder a tool's setting names while Zorv runs, and files written in place,
# chunk by chunk.
source "$(dirname "$0")/lib.sh"

start_x
# gnome-screenshot and GSettings talk over a session bus.
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=${bus%%$'\n'*}
STARTED_PIDS+=("${bus##*$'\n'}")

# As the tools write them: Flameshot's own folder as an absolute path, the
# Pictures folder in user-dirs. Pictures/Screenshots does not exist yet, as
# on a fresh account.
PICTURES="$HOME/Pictures"
mkdir -p "$HOME/Flame Shots" "$XDG_CONFIG_HOME/flameshot" "$PICTURES"
printf '[General]\nsavePath=%s\nsavePathFixed=true\n' "$HOME/Flame Shots" >"$XDG_CONFIG_HOME/flameshot/flameshot.ini"
echo 'XDG_PICTURES_DIR="$HOME/Pictures"' >"$XDG_CONFIG_HOME/user-dirs.dirs"
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel"

# watches FOLDER [COUNT]: Zorv holds COUNT (default 1) or more inotify
# watches on the folder (fdinfo names each watched inode in hex).
watches() {
    local inode
    inode=$(printf '%x' "$(stat -c %i "$1")") || return 1
    [ "$(cat /proc/"$ZORV_PID"/fdinfo/* 2>/dev/null | grep -c "^inotify .* ino:$inode ")" -ge "${2:-1}" ]
}
# ms_since_write FILE: milliseconds from the file's last write until now.
ms_since_write() {
    echo $((($(date +%s%N) - $(stat -c %.9Y "$1" | tr -d .)) / 1000000))
}

wait_until 5 watches "$HOME/Flame Shots" || fail "Flameshot's folder is not watched"
png "$WORK/flame.png"
mv "$WORK/flame.png" "$HOME/Flame Shots/flameshot-1.png"
wait_until 2 stored_contains "screenshot:$HOME/Flame Shots/flameshot-1.png" ||
    fail "a capture in Flameshot's folder was not stored: $(stored_shelf)"
note "Flameshot's folder is watched"

# gnome-screenshot with no arguments saves into Pictures; a photo copied
# there just before is no screenshot.
# Two watches: the wait for Pictures/Screenshots, and the scanner of Pictures.
wait_until 5 watches "$PICTURES" 2 || fail "gnome-screenshot's Pictures folder is not watched"
convert -size 64x48 xc:green "$WORK/photo.jpg"
cp "$WORK/photo.jpg" "$PICTURES/IMG_2034.jpg"
gnome-screenshot >"$WORK/gnome-screenshot.log" 2>&1 || fail "gnome-screenshot failed: $(cat "$WORK/gnome-screenshot.log")"
capture=$(find "$PICTURES" -maxdepth 1 -name 'Screenshot from *.png' -print -quit)
[ -n "$capture" ] || fail "gnome-screenshot saved nothing into Pictures: $(ls "$PICTURES")"
wait_until 2 stored_contains "screenshot:$capture" || fail "gnome-screenshot's capture was not stored: $(stored_shelf)"
note "gnome-screenshot's capture stored $(ms_since_write "$capture") ms after its write (50 ms polls)"
! stored_contains "IMG_2034.jpg" || fail "a photo copied into Pictures became a card"

# Flameshot's folder changed while Zorv runs, as Flameshot rewrites its file.
mkdir -p "$HOME/New Shots"
printf '[General]\nsavePath=%s\nsavePathFixed=true\n' "$HOME/New Shots" >"$WORK/flameshot.ini"
mv "$WORK/flameshot.ini" "$XDG_CONFIG_HOME/flameshot/flameshot.ini"
png "$HOME/New Shots/flameshot-2.png" 64x48 blue
wait_until 2 stored_contains "screenshot:$HOME/New Shots/flameshot-2.png" ||
    fail "a capture in Flameshot's changed folder was not stored: $(stored_shelf)"
note "a capture in a changed folder stored $(ms_since_write "$HOME/New Shots/flameshot-2.png") ms after its write"

# gnome-screenshot's folder changed through GSettings.
mkdir -p "$HOME/Gnome Shots"
gsettings set org.gnome.gnome-screenshot auto-save-directory "file://$HOME/Gnome%20Shots/" ||
    fail "gsettings could not set the folder"
wait_until 2 watches "$HOME/Gnome Shots" || fail "gnome-screenshot's changed folder is not watched"
gnome-screenshot >>"$WORK/gnome-screenshot.log" 2>&1 || fail "gnome-screenshot failed"
capture=$(find "$HOME/Gnome Shots" -maxdepth 1 -name '*.png' -print -quit)
[ -n "$capture" ] || fail "gnome-screenshot did not save into its changed folder"
wait_until 2 stored_contains "screenshot:$capture" ||
    fail "a capture in gnome-screenshot's changed folder was not stored: $(stored_shelf)"
note "gnome-screenshot's changed folder is followed"

# GNOME Shell makes its folder and saves into it at once.
SHOTS="$PICTURES/Screenshots"
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
