#!/usr/bin/env bash
# Zorv follows keyboard changes made after it started, as a desktop applies
# its layout and modifier settings after autostart: the leader still arms
# once Super moves to another modifier, and with a German layout a recorder
# stores the key that types "z" as "Z".
source "$(dirname "$0")/lib.sh"

start_x
start_openbox
start_tray
seed_shelf "third card" "second card" "first card"
start_zorv
wait_until 5 panel_window || fail "no panel window"
wait_until 5 stored_size_is 3 || fail "the shelf was not restored"

# Super leaves Mod4 for Mod3, which was empty.
xmodmap -e "clear mod4" -e "add mod3 = Super_L Super_R"
xmodmap -pm | grep -q "^mod3 .*Super_L" || fail "xmodmap did not move Super: $(xmodmap -pm)"
double_tap
wait_until 2 panel_at 0 || fail "the leader did not arm with Super on Mod3: x=$(panel_x)"
xdotool key 2
wait_until 2 test "$(xclip -o -selection clipboard 2>/dev/null)" = "second card" ||
    fail "2 put '$(xclip -o -selection clipboard 2>/dev/null)' on the clipboard with Super on Mod3"
wait_until 2 panel_at -136 || fail "the panel stayed out after the copy: x=$(panel_x)"
note "with Super moved to Mod3 the leader armed and 2 copied the second card"

# A German layout swaps the keys of Y and Z (and puts Super back on Mod4).
setxkbmap de
[ "$(xmodmap -pke | awk '$2 == 29 { print $4 }')" = z ] || fail "setxkbmap de did not take: $(setxkbmap -query)"
# "Edit Hotkeys…" is the first item of the tray menu that can be chosen.
wait_until 10 tray_icon_window || fail "the tray icon never docked"
read -r cx cy < <(window_center "$(tray_icon_window)")
xdotool mousemove "$cx" "$cy" click 3
sleep 0.5
xdotool key Down
sleep 0.2
xdotool key Return
settings_window() { xdotool search --onlyvisible --name "^Zorv Hotkeys$" | head -n 1; }
wait_until 5 settings_window || fail "the tray menu opened no settings window"
read -r wx wy _ _ < <(window_geometry "$(settings_window)")
sleep 0.3
# The recorder of "copy item 1", at the right of its row.
xdotool mousemove $((wx + 313)) $((wy + 228)) click 1
sleep 0.3
xdotool key z
stored_binding() { grep -o "\\\\\"$1\\\\\":{[^}]*}" "$CONF" | tr -d '\\'; }
wait_until 2 stored_binding copySlot1 || fail "typing z stored no binding: $(grep hotkeys "$CONF")"
binding=$(stored_binding copySlot1)
for part in '"keyCode":16' '"label":"Z"'; do
    case "$binding" in *"$part"*) ;; *) fail "the German z is stored as $binding" ;; esac
done
note "the German z was recorded as $binding"
zorv_running || fail "zorv ended"

# Armed while Super moves: the grabs made with the leader follow it. The
# probe runs the same hot-key manager and says when the key map was read.
kill "$ZORV_PID"
zorv_exit_status 5 >/dev/null || fail "zorv did not quit"
rm -f "$CONF" # the default bindings again
PROBE_LOG="$WORK/probe.log"
"$ZORV_TEST_HELPERS/hotkey_probe" >"$PROBE_LOG" 2>&1 &
STARTED_PIDS+=($!)
wait_until 5 grep -q "^ready xkb=1" "$PROBE_LOG" || fail "the probe did not start: $(cat "$PROBE_LOG")"
double_tap
wait_until 2 grep -qx armed "$PROBE_LOG" || fail "the probe did not arm: $(cat "$PROBE_LOG")"
xmodmap -e "clear mod4" -e "add mod3 = Super_L Super_R"
wait_until 2 grep -qx "keymap reloaded" "$PROBE_LOG" || fail "the probe did not see the new mapping"
xdotool key alt+super+3
wait_until 2 grep -qx "action copySlot3" "$PROBE_LOG" ||
    fail "Alt+Super+3 did not fire after Super moved: $(cat "$PROBE_LOG")"
note "armed across a modifier change, Alt+Super+3 fired"
