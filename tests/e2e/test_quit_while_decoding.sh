#!/usr/bin/env bash
# Quitting while the restore still decodes large screenshots ends cleanly:
# status 0, the stored shelf as it was, and, in the sanitizer build, no
# report of memory used after it was freed. Each of several rounds quits
# at a different moment of the decoding.
source "$(dirname "$0")/lib.sh"
# What matters here is memory used after it went. Leaks are the fuzzers'
# concern; libdbus and Qt keep caches until the process ends.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

start_x
mkdir -p "$SHOTS"
# Noise compresses badly, so each screenshot takes a while to decode.
convert -size 1920x1080 xc:gray +noise Random "PNG24:$SHOTS/noise.png"
items=()
for i in 1 2 3 4 5; do
    cp "$SHOTS/noise.png" "$SHOTS/shot$i.png"
    items+=("screenshot:$SHOTS/shot$i.png")
done
seed_items "${items[@]}"
expected=$(stored_shelf)
xdotool mousemove 640 400

for delay in 0 0.2 0.5 1; do
    rm -rf "$XDG_CACHE_HOME"
    start_zorv
    wait_until 10 panel_window || fail "no panel window"
    sleep "$delay"
    kill -TERM "$ZORV_PID"
    status=$(zorv_exit_status 20) || fail "zorv did not end after SIGTERM (quit $delay s after the panel appeared)"
    if grep -q 'Sanitizer' "$WORK/zorv.log"; then
        fail "a sanitizer reported an error when zorv quit $delay s after the panel appeared"
    fi
    [ "$status" = 0 ] || fail "zorv ended with status $status when it quit $delay s after the panel appeared"
    [ "$(stored_shelf)" = "$expected" ] || fail "the quit changed the stored shelf: $(stored_shelf)"
done
