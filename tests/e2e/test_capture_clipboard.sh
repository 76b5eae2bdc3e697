#!/usr/bin/env bash
# Clipboard text and images are added with the paste button; passwords never.
source "$(dirname "$0")/lib.sh"

start_x
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel"

printf '  copied text with spaces\n' >"$WORK/text.txt"
set_clipboard -i "$WORK/text.txt"
sleep 0.5
click_footer_button "$PASTE_BUTTON"
# QSettings quotes values with outer spaces and escapes the newline.
wait_until 2 stored_contains 'text:"  copied text with spaces\n"' || fail "pasted text not stored: $(stored_shelf)"
note "text pasted"

png "$WORK/clip.png" 40x30 "rgba(0,128,255,0.5)"
set_clipboard -t image/png -i "$WORK/clip.png"
sleep 0.5
xdotool mousemove 640 400
sleep 1.5
click_footer_button "$PASTE_BUTTON"
private="$TMPDIR/zorv-$(id -u)"
wait_until 2 stored_contains "screenshot:$private/" || fail "pasted image not stored: $(stored_shelf)"
file=$(stored_shelf | sed -n "s|^screenshot:||p" | tail -n1)
[ "$(stat -c %a "$file")" = 600 ] || fail "clipboard PNG has mode $(stat -c %a "$file")"
[ "$(stat -c %a "$private")" = 700 ] || fail "private folder has mode $(stat -c %a "$private")"
diff=$(compare -metric AE "$WORK/clip.png" "$file" null: 2>&1 || true)
[ "$diff" = 0 ] || fail "the stored PNG differs in $diff pixels"
note "image pasted into $file"

before=$(stored_shelf)
"$ZORV_TEST_HELPERS/secret_clipboard" "hunter2" >/dev/null 2>&1 &
STARTED_PIDS+=($!)
sleep 1
xdotool mousemove 640 400
sleep 1.5
click_footer_button "$PASTE_BUTTON"
sleep 1
[ "$(stored_shelf)" = "$before" ] || fail "a password reached the shelf: $(stored_shelf)"
stored_contains hunter2 && fail "a password was stored"
zorv_running || fail "zorv ended"
