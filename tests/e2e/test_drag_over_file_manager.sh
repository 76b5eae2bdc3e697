#!/usr/bin/env bash
# A screenshot card dragged over a GTK 2 file manager (pcmanfm) and dropped
# there lands in its folder, and copies keep working afterwards. pcmanfm
# stamps its data requests with Unix seconds, far ahead of the X server's
# clock; a copy claimed with such a time is refused by the server.
source "$(dirname "$0")/lib.sh"

command -v pcmanfm >/dev/null || fail "pcmanfm is not installed (scripts/install-deps.sh --tests)"
start_x
read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
STARTED_PIDS+=("$bus_pid")
export DBUS_SESSION_BUS_ADDRESS=$bus_address

png "$HOME/shot.png" 120x80 green
seed_items "screenshot:$HOME/shot.png" "text:copied after the drag"
mkdir -p "$WORK/folder"
xdotool mousemove 640 400
start_zorv
pcmanfm "$WORK/folder" >"$WORK/pcmanfm.log" 2>&1 &
STARTED_PIDS+=($!)
wait_until 15 xdotool search --onlyvisible --class pcmanfm || fail "pcmanfm did not open its window"
manager=$(xdotool search --onlyvisible --class pcmanfm | head -n1)
command xdotool windowmove "$manager" 500 150 windowsize "$manager" 600 450
wait_until 5 test "$(window_geometry "$manager")" = "500 150 600 450" || fail "pcmanfm's window did not move"

# Over the window, resting in two places so that pcmanfm asks for the data
# while hovering, then dropped into its folder view.
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
drag_with_steps $(card_center 2) 760 330 850 420
wait_until 10 cmp -s "$WORK/folder/shot.png" "$HOME/shot.png" || fail "pcmanfm did not receive the dropped file"
note "the card was dropped into pcmanfm"

# Another program owns the clipboard; a click on the text card takes it.
echo "held by xclip" >"$WORK/before.txt"
set_clipboard -i "$WORK/before.txt"
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
xdotool mousemove $(card_center 1) click 1
panel=$(panel_window) || fail "no panel window"
wait_until 3 "$ZORV_TEST_HELPERS/selection_owner" CLIPBOARD "$panel" ||
    fail "zorv does not own the CLIPBOARD after the click: $(grep -c 'Cannot set X11 selection owner' "$WORK/zorv.log") refused claims"
[ "$(xclip -o -selection clipboard)" = "copied after the drag" ] ||
    fail "the CLIPBOARD holds: $(xclip -o -selection clipboard)"
note "a copy after the drag owns the CLIPBOARD"

# Asked for the CLIPBOARD with a time far ahead, Zorv answers with that very
# time, and its next copy still owns the CLIPBOARD.
"$ZORV_TEST_HELPERS/selection_owner" CLIPBOARD "$panel" 0x6b1919a3 || fail "the request was not answered with its own time"
set_clipboard -i "$WORK/before.txt"
xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
# shellcheck disable=SC2046
xdotool mousemove $(card_center 1) click 1
wait_until 3 "$ZORV_TEST_HELPERS/selection_owner" CLIPBOARD "$panel" || fail "zorv does not own the CLIPBOARD after a request stamped ahead"
zorv_running || fail "zorv ended"
