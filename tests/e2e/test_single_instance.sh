#!/usr/bin/env bash
# A second launch says so and exits 0, leaving the first and its shelf alone.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf alpha beta
start_zorv
wait_until 10 store_rewritten || fail "first instance did not store its shelf"
wait_until 10 test -e "$XDG_RUNTIME_DIR/zorv.lock" || fail "no lock file"
before=$(md5sum <"$CONF")

set +e
message=$(timeout 10 "$ZORV_BIN" 2>&1)
status=$?
set -e
[ "$status" = 0 ] || fail "second launch exited with $status"
[ "$message" = "Zorv is already running." ] || fail "second launch said: $message"
zorv_running || fail "the first instance ended"
[ "$(md5sum <"$CONF")" = "$before" ] || fail "the second launch changed the stored shelf"
