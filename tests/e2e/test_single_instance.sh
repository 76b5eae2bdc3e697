#!/usr/bin/env bash
# A second launch says so and exits 0, and the first opens its settings
# window, the way there where no tray shows Zorv's menu; the stored shelf
# stays as it was. A stopped first instance does not hold the second up.
source "$(dirname "$0")/lib.sh"

start_x
start_openbox
seed_shelf alpha beta
start_zorv
wait_until 10 store_rewritten || fail "first instance did not store its shelf"
# The restore may write once per restored item; wait until it is done.
wait_until 10 stored_size_is 2 || fail "first instance stored $(stored_size) items"
sleep 0.5
wait_until 10 test -e "$XDG_RUNTIME_DIR/zorv.lock" || fail "no lock file"
before=$(md5sum <"$CONF")

set +e
message=$(timeout 10 "$ZORV_BIN" 2>&1)
status=$?
set -e
[ "$status" = 0 ] || fail "second launch exited with $status"
[ "$message" = "Zorv is already running." ] || fail "second launch said: $message"
zorv_running || fail "the first instance ended"
settings_window() { xdotool search --onlyvisible --name "^Zorv Hotkeys$" | head -n 1; }
wait_until 5 settings_window || fail "the second launch opened no settings window"
settings_active() { [ "$(xdotool getactivewindow)" = "$(settings_window)" ]; }
wait_until 5 settings_active || fail "the settings window is not the active one"
[ "$(md5sum <"$CONF")" = "$before" ] || fail "the second launch changed the stored shelf"
[ "$(stat -c %a "$XDG_RUNTIME_DIR/zorv.socket")" = 700 ] || fail "others may open the request socket"

# A stopped first instance answers nobody; the launch still ends as usual.
kill -STOP "$ZORV_PID"
set +e
message=$(timeout 10 "$ZORV_BIN" 2>&1)
status=$?
set -e
kill -CONT "$ZORV_PID"
[ "$status" = 0 ] || fail "a launch beside a stopped instance exited with $status"
[ "$message" = "Zorv is already running." ] || fail "a launch beside a stopped instance said: $message"
zorv_running || fail "the first instance ended after it was stopped"

# Without a runtime folder the lock is per user: the same user is refused,
# another user's Zorv starts (that part needs root to become someone else).
kill "$ZORV_PID"
zorv_exit_status 5 >/dev/null || fail "the first instance did not quit"
shared="$WORK/shared-tmp" # a /tmp of its own, open to everyone like /tmp
mkdir "$shared"
chmod 1777 "$shared"
chmod o+x "$WORK"
unset XDG_RUNTIME_DIR
export TMPDIR=$shared
start_zorv
wait_until 10 test -e "$shared/zorv-$(id -u)/zorv.lock" || fail "no lock in the private folder: $(ls -la "$shared")"
set +e
message=$(timeout 10 "$ZORV_BIN" 2>&1)
status=$?
set -e
[ "$status" = 0 ] && [ "$message" = "Zorv is already running." ] ||
    fail "without a runtime folder a second launch said '$message' ($status)"
wait_until 5 settings_window || fail "without a runtime folder a second launch opened no settings window"

if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    other="$shared/other-home"
    mkdir -p "$other" && chown nobody "$other"
    set +e
    message=$(HOME="$other" XDG_CONFIG_HOME="$other/.config" XDG_CACHE_HOME="$other/.cache" \
        XDG_DATA_HOME="$other/.local/share" timeout -s KILL 4 \
        setpriv --reuid=nobody --regid=nogroup --clear-groups "$ZORV_BIN" 2>&1)
    status=$?
    set -e
    # Killed by the timeout means it was running: not refused.
    [ "$status" = 137 ] || fail "another user's Zorv ended with $status: $message"
    case $message in *"already running"*) fail "another user was told: $message" ;; esac
    note "another user's Zorv ran beside this one"
else
    note "not root: another user's launch not tried"
fi
zorv_running || fail "the first instance ended"
