#!/usr/bin/env bash
# bash bench/sigkill_soak.sh [ZORV] [CHANGES] [SEED]: makes CHANGES (default
# 200) shelf changes through zorv's real inputs on a private X server: texts
# pasted with the plus button after xclip took the clipboard, screenshots
# renamed into the screenshot folder, cards removed with their delete
# buttons, the history brought back with the clock button. At random moments
# it kills zorv with SIGKILL, possibly in the middle of a change, and starts
# it again. After every kill zorv.conf must be readable, and after every
# restart the panel must show exactly the stored shelf: as many cards, the
# same entries when it rewrites the store, and the top card copying the
# newest entry. It prints the counts. Not a test: it takes several minutes.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
zorv=$(readlink -f "${1:-$here/../build/zorv}")
target=${2:-200}
RANDOM=${3:-$$}
source "$here/../tests/e2e/lib.sh" "$zorv"
set +e

changes=0 adds_text=0 adds_shot=0 deletes=0 restores=0 no_ops=0
kills=0 kills_mid_change=0 restarts=0 verified=0 mismatches=0 unreadable=0

# The stored list must parse: a size line, and type plus value for each entry.
conf_readable() {
    [ -f "$CONF" ] || return 0 # nothing stored yet
    local size
    size=$(sed -n 's/^\(zorv\.shelf\.items\\\)\{0,1\}size=//p' "$CONF" | tail -n1)
    [ -n "$size" ] || return 1
    [ "$(stored_size)" = "$size" ] || return 1
    ! stored_shelf | grep -qvE '^(text|screenshot):'
}

wait_panel_out() {
    xdotool mousemove 0 400
    wait_until 3 panel_at 0
}

# Waits for zorv's clipboard poll to have seen the current clipboard.
paste_text() {
    local text="soak text $changes.$RANDOM"
    printf '%s' "$text" >"$WORK/clip.txt"
    set_clipboard -i "$WORK/clip.txt"
    sleep 0.5
    wait_panel_out || return 1
    # shellcheck disable=SC2086
    xdotool mousemove $PASTE_BUTTON click 1
}

add_screenshot() {
    local name="shot-$changes-$RANDOM.png"
    png "$WORK/$name" 64x48 "rgb($((150 + RANDOM % 100)),$((150 + RANDOM % 100)),200)"
    mv "$WORK/$name" "$SHOTS/$name"
}

delete_card() {
    local size n x y
    size=$(stored_size)
    [ "$size" -gt 0 ] || return 1
    n=$((RANDOM % size + 1))
    wait_panel_out || return 1
    read -r x y < <(card_center "$n")
    xdotool mousemove "$x" "$y"
    sleep 0.25 # hovered: the delete button shows
    xdotool mousemove 17 $((PANEL_TOP + 8 + (n - 1) * 82 + 5))
    sleep 0.15
    xdotool click 1
}

restore_history() {
    wait_panel_out || return 1
    # shellcheck disable=SC2086
    xdotool mousemove $HISTORY_BUTTON click 1
}

# After a restart: the cards shown and the store match what was stored.
verify_restart() {
    local expected=$1 count i top
    count=$(printf '%s' "$expected" | grep -c . )
    wait_until 10 panel_window || { echo "no panel after restart $restarts" >&2; return 1; }
    wait_panel_out || { echo "panel did not come out after restart $restarts" >&2; return 1; }
    sleep 0.4 # the cards' fade-in
    for i in $(seq 1 5); do
        if [ "$i" -le "$count" ]; then
            card_shown "$i" || { echo "restart $restarts: card $i of $count missing" >&2; return 1; }
        else
            card_shown "$i" && { echo "restart $restarts: card $i shown, $count stored" >&2; return 1; }
        fi
    done
    [ "$(stored_shelf)" = "$expected" ] || { echo "restart $restarts: store now differs" >&2; return 1; }
    [ "$count" -gt 0 ] || return 0
    top=$(printf '%s\n' "$expected" | tail -n1)
    # shellcheck disable=SC2046
    xdotool mousemove $(card_center 1) click 1
    case $top in
    text:*) wait_until 3 test "$(xclip -o -selection clipboard 2>/dev/null)" = "${top#text:}" ;;
    *) wait_until 3 sh -c 'xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qx image/png' ;;
    esac || { echo "restart $restarts: the top card did not copy $top" >&2; return 1; }
}

start_x
mkdir -p "$SHOTS"
start_zorv
wait_until 10 panel_window || fail "no panel window"
started=$(date +%s)

while [ "$changes" -lt "$target" ]; do
    [ -f "$CONF" ] && mark_store || STORE_MARK=none
    before=$(stored_shelf)
    roll=$((RANDOM % 100))
    if [ "$roll" -lt 35 ]; then kind=text; paste_text
    elif [ "$roll" -lt 60 ]; then kind=shot; add_screenshot
    elif [ "$roll" -lt 90 ]; then kind=delete; delete_card
    else kind=history; restore_history
    fi

    if [ $((RANDOM % 100)) -lt 30 ]; then
        # Anywhere from at once to after the change has surely landed.
        sleep "0.$((RANDOM % 10))$((RANDOM % 10))"
        kill -KILL "$ZORV_PID"
        zorv_exit_status 5 >/dev/null
        kills=$((kills + 1))
        conf_readable || { unreadable=$((unreadable + 1)); echo "kill $kills: zorv.conf unreadable" >&2; cp "$CONF" "$WORK/unreadable-$kills.conf"; }
        stored=$(stored_shelf)
        if [ "$stored" != "$before" ]; then
            changes=$((changes + 1)) kills_mid_change=$((kills_mid_change + 1))
        fi
        start_zorv
        restarts=$((restarts + 1))
        if verify_restart "$stored"; then verified=$((verified + 1)); else mismatches=$((mismatches + 1)); fi
        xdotool mousemove 640 400
        continue
    fi

    if wait_until 3 store_rewritten 2>/dev/null && [ "$(stored_shelf)" != "$before" ]; then
        changes=$((changes + 1))
        case $kind in
        text) adds_text=$((adds_text + 1)) ;; shot) adds_shot=$((adds_shot + 1)) ;;
        delete) deletes=$((deletes + 1)) ;; history) restores=$((restores + 1)) ;;
        esac
    else
        no_ops=$((no_ops + 1)) # nothing to delete, or an empty history
    fi
    conf_readable || { unreadable=$((unreadable + 1)); echo "after change $changes: zorv.conf unreadable" >&2; }
    xdotool mousemove 640 400
done

echo "shelf changes: $changes (text pastes $adds_text, screenshots $adds_shot, deletes $deletes, history restores $restores, landed just before a kill $kills_mid_change)"
echo "inputs that changed nothing: $no_ops"
echo "SIGKILLs: $kills, restarts: $restarts, restored shelf equal to the stored one: $verified, mismatches: $mismatches"
echo "zorv.conf unreadable: $unreadable times; zorv still running: $(zorv_running && echo yes || echo no)"
echo "took $(($(date +%s) - started)) s"
[ "$mismatches" -eq 0 ] && [ "$unreadable" -eq 0 ]
