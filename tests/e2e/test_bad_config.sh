#!/usr/bin/env bash
# Damaged or unusable settings never stop Zorv and never show a dialog.
source "$(dirname "$0")/lib.sh"

start_x

# check_survives WHAT [COMMAND...]: zorv starts and runs with the prepared
# file and shows nothing but its panel; COMMAND, if given, must come true
# (it waits for that) before zorv is stopped.
check_survives() {
    local what=$1
    shift
    start_zorv
    wait_until 5 panel_window || fail "zorv showed no panel with $what"
    sleep 1 # time for an error dialog, which must not come
    zorv_running || fail "zorv died with $what"
    if [ "$#" -gt 0 ]; then
        wait_until 3 "$@" || fail "with $what the stored shelf became: $(stored_shelf)"
    fi
    # Without a tray host the hidden panel is Zorv's only window: no error dialog.
    [ "$(visible_zorv_windows)" = 1 ] && panel_at -136 || fail "a window appeared with $what"
    kill "$ZORV_PID"
    zorv_exit_status 5 >/dev/null || fail "zorv did not stop on SIGTERM"
}

mkdir -p "$(dirname "$CONF")"
head -c 4096 /dev/urandom >"$CONF"
check_survives "random bytes"

printf '[General]\nzorv.shelf.items\\size=3\nzorv.shelf.items\\1\\type=text\nzorv.shelf.items\\1\\text=kept\nzorv.shelf.items\\2\\ty' >"$CONF"
check_survives "a truncated file"
[ "$(stored_shelf)" = "text:kept" ] || fail "the readable entry of a truncated file was not kept: $(stored_shelf)"

printf '[General]\nzorv.shelf.items=@ByteArray(oops)\nzorv.hotkeys\\size=1\nzorv.hotkeys\\1\\a=b\n' >"$CONF"
check_survives "values of the wrong shapes"

printf '[General]\nzorv.shelf.items\\size=4\nzorv.shelf.items\\1\\type=screenshot\nzorv.shelf.items\\1\\url=/nonexistent.png\nzorv.shelf.items\\2\\type=screenshot\nzorv.shelf.items\\2\\url=%s\nzorv.shelf.items\\3\\type=screenshot\nzorv.shelf.items\\3\\url=/dev/zero\nzorv.shelf.items\\4\\type=text\nzorv.shelf.items\\4\\text=after\n' "$CONF" >"$CONF"
stored_is() { [ "$(stored_shelf)" = "$1" ]; }
check_survives "entries pointing at missing and non-image files" stored_is "text:after"

# A plain file where the config folder belongs: nothing can be stored.
rm -rf "$(dirname "$CONF")"
touch "$(dirname "$CONF")"
check_survives "a config folder that cannot be created"

# SIGTERM ends Zorv through its normal shutdown, with status 0.
rm -rf "$(dirname "$CONF")"
start_zorv
wait_until 5 panel_window || fail "no panel"
kill -TERM "$ZORV_PID"
status=$(zorv_exit_status 5) || fail "zorv did not end on SIGTERM"
[ "$status" = 0 ] || fail "SIGTERM ended zorv with status $status"
