#!/usr/bin/env bash
# The leader gesture and its hot keys on a real X server, driven through
# XTEST: a small program runs the hot-key manager and prints its callbacks.
source "$(dirname "$0")/lib.sh"

start_x
# The translation against the server's real keymap.
"$ZORV_TEST_HELPERS/hotkey_probe" keymap >"$WORK/keymap.txt" 2>&1
for expected in "mac 18 x 10 back 18 chars [1]" "mac 23 x 14 back 23 chars [5]" "mac 4 x 43 back 4 chars [h]" \
    "mac 24 x 21 back 24 chars [=]" "mac 7 x 53 back 7 chars [x]" "mac 49 x 65 back 49 chars [ ]"; do
    grep -qxF "$expected" "$WORK/keymap.txt" || fail "keymap translation lacks '$expected': $(cat "$WORK/keymap.txt")"
done
grep -qx "alt 8 super 64 numlock 16" "$WORK/keymap.txt" || fail "modifier masks: $(tail -n1 "$WORK/keymap.txt")"

PROBE_LOG="$WORK/probe.log"
: >"$PROBE_LOG"
"$ZORV_TEST_HELPERS/hotkey_probe" >"$PROBE_LOG" 2>&1 &
PROBE_PID=$!
STARTED_PIDS+=("$PROBE_PID")
wait_until 5 grep -q "^ready xkb=1 xi=1" "$PROBE_LOG" || fail "the probe did not start: $(cat "$PROBE_LOG")"

lines() { wc -l <"$PROBE_LOG"; }
# said TEXT: the probe printed TEXT since the mark.
mark() { MARK=$(lines); }
said() { tail -n +$((MARK + 1)) "$PROBE_LOG" | grep -qx "$1"; }
arm() {
    mark
    double_tap
    wait_until 2 said armed || fail "a double tap of Alt + Super did not arm ($1): $(cat "$PROBE_LOG")"
}

arm "first"
mark
xdotool key 1
wait_until 1 said "action copySlot1" || fail "1 did not fire copySlot1"
note "1 fired copySlot1"

arm "before a stray key"
# The key that fired ended the armed time without a disarm: between the
# action and the next arming the probe said nothing else.
between=$(sed -n '/^action copySlot1$/,/^armed$/p' "$PROBE_LOG" | sed '1d;$d')
[ -z "$between" ] || fail "an action was followed by: $between"
mark
xdotool key a
wait_until 1 said disarmed || fail "a stray key did not disarm"
said "action .*" && fail "a stray key fired an action: $(cat "$PROBE_LOG")"

arm "before Escape"
mark
xdotool key Escape
wait_until 1 said disarmed || fail "Escape did not disarm"

arm "before a click"
mark
xdotool mousemove 500 500 click 1
wait_until 1 said disarmed || fail "a click elsewhere did not disarm"

xdotool key Num_Lock
arm "with NumLock on"
mark
xdotool key 2
wait_until 1 said "action copySlot2" || fail "2 did not fire with NumLock on"
xdotool key Num_Lock
note "hot keys fire with NumLock on"

"$ZORV_TEST_HELPERS/key_grabber" 11 >"$WORK/grab2.log" & # 11 is the key "2"
STARTED_PIDS+=($!)
wait_until 2 grep -q grabbed "$WORK/grab2.log" || fail "the other client could not grab 2"
arm "while another client holds 2"
mark
xdotool key 3
wait_until 1 said "action copySlot3" || fail "3 did not fire while 2 is held elsewhere"
note "arming works around a key held by another client"

# Not armed: nothing is grabbed, so another client can take "1".
"$ZORV_TEST_HELPERS/key_grabber" 10 >"$WORK/grab1.log" &
STARTED_PIDS+=($!)
wait_until 2 grep -q "^grabbed$" "$WORK/grab1.log" || fail "a key was still grabbed while not armed: $(cat "$WORK/grab1.log")"

# A binding stored in zorv.conf is used: copySlot4 on Q (key code 12),
# written the way QSettings quotes a byte array.
kill "$PROBE_PID"
mkdir -p "$(dirname "$CONF")"
cat >"$CONF" <<'EOC'
[General]
zorv.hotkeys="@ByteArray({\"enabled\":true,\"leaderModifiersRaw\":1572864,\"bindings\":{\"copySlot4\":{\"keyCode\":12,\"modifiersRaw\":0,\"label\":\"Q\"}}})"
EOC
"$ZORV_TEST_HELPERS/hotkey_probe" >"$WORK/probe2.log" 2>&1 &
STARTED_PIDS+=($!)
PROBE_LOG="$WORK/probe2.log"
wait_until 5 grep -q "^ready" "$PROBE_LOG" || fail "the second probe did not start"
arm "with a stored binding"
mark
xdotool key q
wait_until 1 said "action copySlot4" || fail "the stored binding Q did not fire: $(cat "$PROBE_LOG")"
