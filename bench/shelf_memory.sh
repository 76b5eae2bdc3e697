#!/usr/bin/env bash
# Resident memory of Zorv with an empty shelf and with five 3840 x 2160
# screenshots on it.
#
#   bash bench/shelf_memory.sh build/zorv
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"

rss() { awk '/VmRSS/ { print $2 }' "/proc/$ZORV_PID/status"; }

start_x
start_zorv
wait_until 5 panel_window || fail "no panel"
sleep 2
empty=$(rss)
kill "$ZORV_PID"
zorv_exit_status 5 >/dev/null || true

mkdir -p "$(dirname "$CONF")"
{
    echo "[General]"
    for i in 1 2 3 4 5; do
        convert -size 3840x2160 "plasma:fractal" "PNG24:$HOME/shot$i.png" 2>/dev/null ||
            convert -size 3840x2160 gradient:navy-orange "PNG24:$HOME/shot$i.png"
        echo "zorv.shelf.items\\$i\\type=screenshot"
        echo "zorv.shelf.items\\$i\\url=$HOME/shot$i.png"
    done
    echo "zorv.shelf.items\\size=5"
} >"$CONF"
start_zorv
wait_until 10 panel_window || fail "no panel"
sleep 3
full=$(rss)
echo "zorv resident memory, empty shelf: $((empty / 1024)) MiB"
echo "zorv resident memory, five 3840 x 2160 screenshots: $((full / 1024)) MiB"
