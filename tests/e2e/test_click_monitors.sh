#!/usr/bin/env bash
# Several click monitors watch other programs' clicks at once, each until
# its own removal: a second one neither replaces nor takes down the first.
source "$(dirname "$0")/lib.sh"

start_x
LOG="$WORK/probe.log"
"$ZORV_TEST_HELPERS/hotkey_probe" monitors >"$LOG" 2>&1 &
STARTED_PIDS+=($!)
wait_until 5 grep -qx ready "$LOG" || fail "the probe did not start: $(cat "$LOG")"
count() { grep -cx "$1" "$LOG" || true; }

xdotool mousemove 500 500 click 1
wait_until 2 test "$(count "click first")" = 1 || fail "the first monitor missed a click: $(cat "$LOG")"
wait_until 2 test "$(count "click second")" = 1 || fail "the second monitor missed a click: $(cat "$LOG")"
# The second has removed itself; the first still watches, right clicks too.
xdotool click 3
wait_until 2 test "$(count "click first")" = 2 || fail "the first monitor went with the second: $(cat "$LOG")"
xdotool click 1
wait_until 2 test "$(count "click first")" = 3 || fail "the first monitor missed a third click: $(cat "$LOG")"
[ "$(count "click second")" = 1 ] || fail "the removed monitor was still told: $(cat "$LOG")"
note "two monitors watched at once; removing one left the other"
