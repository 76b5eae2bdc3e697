#!/usr/bin/env bash
# A clipboard owner that never answers does not stall the panel: while it
# hangs, the edge still peeks and shows the panel, and the paste button can
# be pressed again and again. Nothing of it reaches the shelf, and a normal
# copy after it is gone is taken as usual. (How soon the edge reacts while
# it hangs: bash bench/hung_owner_peek.sh build/zorv.)
source "$(dirname "$0")/lib.sh"

start_x
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel"
"$ZORV_TEST_HELPERS/hung_clipboard_owner" >"$WORK/owner.log" 2>&1 &
OWNER=$!
STARTED_PIDS+=("$OWNER")
wait_until 2 grep -q owning "$WORK/owner.log" || fail "the hung owner did not start"
requests() { grep -c '^request$' "$WORK/owner.log"; }
more_requests_than() { [ "$(requests)" -gt "$1" ]; }
wait_until 2 more_requests_than 0 || fail "zorv never asked the hung owner for the clipboard"

for round in 1 2 3; do
    xdotool mousemove 640 400
    wait_until 3 panel_at -136 || fail "round $round: the panel did not hide: x=$(panel_x)"
    asked=$(requests)
    xdotool mousemove_relative -- -2000 0 # XTEST motion, as a real pointer
    wait_until 1 panel_out_to -102 || fail "round $round: no peek at the edge while the owner hangs: x=$(panel_x)"
    wait_until 2 panel_at 0 || fail "round $round: the panel did not come out: x=$(panel_x)"
    # The paste button asks the clipboard too; the owner answers no one.
    # shellcheck disable=SC2086
    xdotool mousemove $PASTE_BUTTON click 1
    wait_until 2 more_requests_than "$asked" || fail "round $round: zorv stopped asking the clipboard"
done
note "the edge peeked and showed the panel while $(requests) requests hung"

# Every read of the hung owner gives up within 2 s, with nothing.
sleep 4.5
[ "$(stored_size)" = 0 ] || fail "the hung owner's clipboard reached the shelf: $(stored_shelf)"
kill "$OWNER"
wait "$OWNER" 2>/dev/null || true
printf 'after the owner died' >"$WORK/text.txt"
set_clipboard -i "$WORK/text.txt"
xdotool mousemove 640 400
wait_until 3 panel_at -136 || fail "the panel did not hide"
click_footer_button "$PASTE_BUTTON"
wait_until 3 stored_contains "text:after the owner died" || fail "the copy after the hang was not taken: $(stored_shelf)"
stored_size_is 1 || fail "the hung owner's clipboard reached the shelf: $(stored_shelf)"

# Content above 100 MiB is refused, and the panel keeps moving meanwhile.
head -c $((101 * 1024 * 1024)) /dev/zero | tr '\0' 'z' >"$WORK/huge.txt"
set_clipboard -i "$WORK/huge.txt"
xdotool mousemove 640 400
wait_until 4 panel_at -136 || fail "the panel did not hide"
click_footer_button "$PASTE_BUTTON"
xdotool mousemove 640 400
wait_until 4 panel_at -136 || fail "the panel did not hide after the huge paste"
sleep 2.5
stored_size_is 1 || fail "more than 100 MiB reached the shelf: $(stored_shelf | cut -c1-60)"
zorv_running || fail "zorv ended"
