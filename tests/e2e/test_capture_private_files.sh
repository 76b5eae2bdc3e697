#!/usr/bin/env bash
# Card clicks feed the clipboard slot a new private PNG each time; only the
# ones something still refers to stay in the private folder.
source "$(dirname "$0")/lib.sh"

CLICKS=${ZORV_CARD_CLICKS:-10}
start_x
convert -size 800x600 gradient:red-blue "PNG32:$HOME/shot.png"
private="$TMPDIR/zorv-$(id -u)"
mkdir -p -m 700 "$private"
png "$private/0F8FAD5B-D9CB-469F-A165-70867728950E.png" # Zorv's own, named by nothing: removed at launch
echo keep >"$private/notes.txt" # not Zorv's: stays
seed_items "screenshot:$HOME/shot.png"
xdotool mousemove 640 400
start_zorv
wait_until 5 panel_window || fail "no panel"
wait_until 2 test ! -e "$private/0F8FAD5B-D9CB-469F-A165-70867728950E.png" || fail "a stray private file survived the launch"
[ -e "$private/notes.txt" ] || fail "the launch removed a file that is not Zorv's"
rm "$private/notes.txt"

xdotool mousemove 0 400
wait_until 2 panel_at 0 || fail "the panel did not come out"
for ((i = 1; i <= CLICKS; i++)); do
    # shellcheck disable=SC2046
    xdotool mousemove $(card_center 1) click 1
    sleep 0.5 # one clipboard poll, and its read
done
# Only the clipboard slot refers to a private PNG now: once the last copy is
# written and the one before it removed, exactly one file is left.
private_files() { find "$private" -type f | wc -l; }
private_files_are() { [ "$(private_files)" = "$1" ]; }
wait_until 2 private_files_are 1 || true
count=$(private_files)
note "$CLICKS clicks on a screenshot card leave $count files in the private folder"
[ "$count" -le 1 ] || fail "$count files in the private folder after $CLICKS clicks: $(ls "$private")"
[ "$count" -ge 1 ] || fail "the clipboard slot's PNG is gone while it is held"
zorv_running || fail "zorv ended"
