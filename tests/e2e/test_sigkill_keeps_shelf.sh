#!/usr/bin/env bash
# A SIGKILL right after a change loses nothing: the next launch restores it.
source "$(dirname "$0")/lib.sh"

start_x
seed_shelf 1 2 3 4 5 6 7
start_zorv
# The restore rewrites the store; kill the moment the rewrite is visible.
wait_until 10 stored_size_is 5 || fail "no rewrite to observe"
kill -KILL "$ZORV_PID"
expected=$'text:3\ntext:4\ntext:5\ntext:6\ntext:7'
[ "$(stored_shelf)" = "$expected" ] || fail "after SIGKILL the store holds $(stored_shelf)"

start_zorv
sleep 1
zorv_running || fail "relaunch after SIGKILL failed (stale lock?)"
[ "$(stored_shelf)" = "$expected" ] || fail "relaunch changed the shelf to $(stored_shelf)"
