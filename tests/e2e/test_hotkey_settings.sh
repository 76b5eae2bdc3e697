#!/usr/bin/env bash
# "Edit Hotkeys…" from the tray menu opens "Zorv Hotkeys"; a recorder stores
# the key typed into it, the leader arms nothing while one records, and the
# recorded key works once recording has ended.
source "$(dirname "$0")/lib.sh"

start_x
start_openbox
start_tray
seed_shelf "third card" "second card" "first card"
start_zorv
wait_until 10 tray_icon_window || fail "the tray icon never docked"
read -r cx cy < <(window_center "$(tray_icon_window)")

# The caption is disabled, so Down selects "Edit Hotkeys…".
windows=$(visible_zorv_windows)
more_windows() { [ "$(visible_zorv_windows)" -gt "$windows" ]; }
xdotool mousemove "$cx" "$cy" click 3
wait_until 5 more_windows || fail "right-click opened no menu"
xdotool key Down Return
settings_window() { xdotool search --onlyvisible --name "^Zorv Hotkeys$" | head -n 1; }
wait_until 5 settings_window || fail "the menu opened no settings window"
read -r wx wy ww wh < <(window_geometry "$(settings_window)")
[ "$ww" = 440 ] && [ "$wh" = 560 ] || fail "the settings window is ${ww}x$wh"
note "Zorv Hotkeys opened at $wx,$wy, ${ww}x$wh"

# Recorders sit at the right of their rows (measured from the window's layout).
recorder() { echo "$((wx + 313)) $((wy + $1))"; }
COPY1=$(recorder 228) COPY2=$(recorder 273)
# looks_of X Y: a digest of the 80 × 20 pixels around a recorder's centre,
# whose prompt and outline change while it records.
looks_of() { import -window root -crop "80x20+$(($1 - 40))+$(($2 - 10))" -depth 8 rgb:- 2>/dev/null | md5sum; }
looks_changed() { [ "$(looks_of $1 $2)" != "$3" ]; }
looks_are() { [ "$(looks_of $1 $2)" = "$3" ]; }
# start_recording X Y: clicks the recorder there and waits until it records;
# prints how it looked before.
start_recording() {
    local before
    xdotool mousemove "$1" "$2"
    wait_until 1 steady looks_of "$1" "$2" || true
    before=$(looks_of "$1" "$2")
    xdotool click 1
    wait_until 2 looks_changed "$1" "$2" "$before" || fail "the recorder at $1,$2 did not start recording"
    echo "$before"
}
# shellcheck disable=SC2086
wait_until 2 steady looks_of $COPY1 || true
import -window root "$WORK/settings.png"

# stored_binding ACTION: the action's JSON object in the stored configuration.
stored_binding() { grep -o "\\\\\"$1\\\\\":{[^}]*}" "$CONF" | tr -d '\\'; }
# shellcheck disable=SC2086
start_recording $COPY1 >/dev/null
import -window root "$WORK/recording.png"
xdotool key q
wait_until 2 stored_binding copySlot1 || fail "typing q stored no binding: $(grep hotkeys "$CONF")"
binding=$(stored_binding copySlot1)
for part in '"keyCode":12' '"modifiersRaw":0' '"label":"Q"'; do
    case "$binding" in *"$part"*) ;; *) fail "copySlot1 is stored as $binding" ;; esac
done
grep -q '\\"enabled\\":true' "$CONF" && grep -q '\\"leaderModifiersRaw\\":1572864' "$CONF" ||
    fail "recording changed more than the binding: $(grep hotkeys "$CONF")"
note "q recorded for copy item 1: $binding"

# shellcheck disable=SC2086
idle=$(start_recording $COPY2)
double_tap
sleep 1 # what would show the leader armed: nothing to wait for
panel_at -136 || fail "the leader armed while a recorder recorded: x=$(panel_x)"
note "a double tap while recording left the panel hidden"

xdotool key Escape
# shellcheck disable=SC2086
wait_until 2 looks_are $COPY2 "$idle" || fail "Escape did not end the recording"
[ "$(stored_binding copySlot2)" = "" ] || fail "Escape stored a binding: $(stored_binding copySlot2)"
double_tap
wait_until 2 panel_at 0 || fail "the leader did not arm after recording ended: x=$(panel_x)"
xdotool key q
wait_until 2 test "$(xclip -o -selection clipboard 2>/dev/null)" = "first card" ||
    fail "q put '$(xclip -o -selection clipboard 2>/dev/null)' on the clipboard"
note "after Escape the leader armed and q copied the first card"
zorv_running || fail "zorv ended"
