#!/usr/bin/env bash
# How soon the panel reacts at the left edge while a clipboard owner hangs
# (it never answers, and takes the clipboard again every half second), next
# to the same rounds with no such owner.
#   bash bench/hung_owner_peek.sh build/zorv [rounds]
# Prints per round the time until the panel starts to move and until the
# 30-point strip shows (which includes the 0.28 s slide), in milliseconds.
# On a quiet machine the first stays well under 300 ms in both cases.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export ZORV_TEST_HELPERS=${ZORV_TEST_HELPERS:-$(dirname "$(readlink -f "$1")")}
rounds=${2:-10}
set -- "$1"
source "$here/../tests/e2e/lib.sh"

ms() { echo $(($(date +%s%N) / 1000000)); }

# rounds_of LABEL: peeks at the edge, each after pressing the paste button.
rounds_of() {
    local round start moving strip
    for round in $(seq "$rounds"); do
        xdotool mousemove 640 400
        wait_until 3 panel_at -136 || fail "the panel did not hide: x=$(panel_x)"
        start=$(ms)
        xdotool mousemove_relative -- -2000 0 # XTEST motion, as a real pointer
        wait_until 2 panel_out_to -135 || fail "no peek at the edge: x=$(panel_x)"
        moving=$(($(ms) - start))
        wait_until 2 panel_out_to -102 || fail "the peek did not reach the strip: x=$(panel_x)"
        strip=$(($(ms) - start))
        echo "$1 $round $moving $strip"
        wait_until 2 panel_at 0 || fail "the panel did not come out"
        # shellcheck disable=SC2086
        xdotool mousemove $PASTE_BUTTON click 1
    done
}

start_x
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel"
echo "owner round moving_ms strip_ms"
printf 'an answering owner' >"$WORK/text.txt"
set_clipboard -i "$WORK/text.txt"
rounds_of answering

"$ZORV_TEST_HELPERS/hung_clipboard_owner" >"$WORK/owner.log" 2>&1 &
STARTED_PIDS+=($!)
wait_until 2 grep -q '^request$' "$WORK/owner.log" || fail "zorv never asked the hung owner"
rounds_of hung
