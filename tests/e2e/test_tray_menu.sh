#!/usr/bin/env bash
# The tray icon docks, its right-click menu shows the three entries, and
# "Quit Zorv" ends the process with status 0.
source "$(dirname "$0")/lib.sh"

start_x
start_tray
start_zorv
wait_until 10 tray_icon_window || fail "the tray icon never docked"
icon=$(tray_icon_window)
read -r cx cy < <(window_center "$icon")
note "icon docked at $cx,$cy"

xdotool mousemove "$cx" "$cy" click 3
menu_visible() { [ "$(visible_zorv_windows)" -ge 2 ]; }
wait_until 5 menu_visible || fail "right-click opened no menu"
menu=""
for window in $(xdotool search --onlyvisible --classname zorv); do
    [ "$window" = "$icon" ] || menu=$window
done
read -r mx my mw mh < <(window_geometry "$menu")
note "menu at $mx,$my size ${mw}x$mh"
import -window root "$WORK/menu.png" 2>/dev/null || true
# Three entries and two separators: taller than two rows, shorter than six.
[ "$mh" -ge 50 ] && [ "$mh" -le 140 ] || fail "menu height $mh does not fit three entries"

# The caption is disabled, so Up from the top wraps to the last entry.
xdotool key Up
sleep 0.2
xdotool key Return
status=$(zorv_exit_status 5) || fail "Quit Zorv did not end the process"
[ "$status" = 0 ] || fail "Quit Zorv exited with status $status"
note "quit with status 0"
