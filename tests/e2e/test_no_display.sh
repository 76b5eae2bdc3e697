#!/usr/bin/env bash
# Without an X display the program says what it needs and fails fast.
source "$(dirname "$0")/lib.sh"

set +e
message=$(env -u DISPLAY timeout 10 "$ZORV_BIN" 2>&1)
status=$?
set -e
[ "$status" != 124 ] || fail "zorv hung without a display"
[ "$status" != 0 ] || fail "zorv reported success without a display"
grep -q "needs an X11 display" <<<"$message" || fail "unclear message: $message"

set +e
message=$(DISPLAY=:4711 timeout 10 "$ZORV_BIN" 2>&1)
status=$?
set -e
[ "$status" != 124 ] && [ "$status" != 0 ] || fail "unreachable display gave status $status"
grep -q "cannot connect to DISPLAY=:4711" <<<"$message" || fail "unclear message: $message"
