#!/usr/bin/env bash
# Keyboard changes made after launch, as a desktop applies its settings after
# autostart, are followed: with Super moved to Mod3 the leader arms (and, armed
# across the change, Alt+Super+3 fires); with a German layout a recorder
# stores the key that types "z" as "Z".
source "$(dirname "$0")/lib.sh"

start_x
start_openbox
start_tray
seed_shelf "third card" "second card" "first card"
start_zorv
wait_until 5 stored_size_is 3 || fail "the shelf was not restored"
wait_until 10 tray_icon_window || fail "the tray icon never docked" # Zorv has started up

xmodmap -e "clear mod4" -e "add mod3 = Super_L Super_R"
double_tap
wait_until 2 panel_at 0 || fail "the leader did not arm with Super on Mod3: x=$(panel_x)"
xdotool key Escape

setxkbmap de # Y and Z swap places; Super is back on Mod4
[ "$(xmodmap -pke | awk '$2 == 29 { print $4 }')" = z ] || fail "setxkbmap de did not take: $(setxkbmap -query)"
read -r cx cy < <(window_center "$(tray_icon_window)")
xdotool mousemove "$cx" "$cy" click 3 sleep 0.5 key Down sleep 0.2 key Return # "Edit Hotkeys…"
settings_window() { xdotool search --onlyvisible --name "^Zorv Hotkeys$" | head -n 1; }
wait_until 5 settings_window || fail "the tray menu opened no settings window"
read -r wx wy _ _ < <(window_geometry "$(settings_window)")
xdotool sleep 0.3 mousemove $((wx + 313)) $((wy + 228)) click 1 sleep 0.3 key z # the recorder of copy item 1
stored_binding() { grep -o '\\"copySlot1\\":{[^}]*}' "$CONF" | tr -d '\\'; }
wait_until 2 stored_binding || fail "typing z stored no binding: $(grep hotkeys "$CONF")"
[ "$(stored_binding)" = '"copySlot1":{"keyCode":16,"modifiersRaw":0,"label":"Z"}' ] ||
    fail "the German z is stored as $(stored_binding)"

# The probe runs the same manager on its own and says when it read the map.
kill "$ZORV_PID"
rm -f "$CONF"
"$ZORV_TEST_HELPERS/hotkey_probe" >"$WORK/probe.log" 2>&1 &
STARTED_PIDS+=($!)
wait_until 5 grep -q "^ready xkb=1" "$WORK/probe.log" || fail "the probe did not start"
double_tap
wait_until 2 grep -qx armed "$WORK/probe.log" || fail "the probe did not arm"
xmodmap -e "clear mod4" -e "add mod3 = Super_L Super_R"
wait_until 2 grep -qx "keymap reloaded" "$WORK/probe.log" || fail "the probe did not see the new mapping"
xdotool key alt+super+3
wait_until 2 grep -qx "action copySlot3" "$WORK/probe.log" || fail "Alt+Super+3 did not fire: $(cat "$WORK/probe.log")"
note "armed across a modifier change, Alt+Super+3 fired"
