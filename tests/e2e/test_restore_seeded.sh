#!/usr/bin/env bash
# A stored shelf of seven texts restores the five newest and is rewritten to
# them; the file stays private.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf one two three four five six seven
start_zorv
expected=$'text:three\ntext:four\ntext:five\ntext:six\ntext:seven'
# The store is rewritten after each restored item; wait for the last write.
stored_is_expected() { [ "$(stored_shelf)" = "$expected" ]; }
wait_until 10 stored_is_expected || fail "stored shelf is $(stored_shelf)"
[ "$(stat -c %a "$CONF")" = 600 ] || fail "zorv.conf has mode $(stat -c %a "$CONF")"
zorv_running || fail "zorv did not keep running"
