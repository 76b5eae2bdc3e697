#!/usr/bin/env bash
# Without a tray host Zorv keeps running; its icon docks once a host starts.
source "$(dirname "$0")/lib.sh"

start_x
start_zorv
sleep 1.5
zorv_running || fail "zorv ended without a tray host"
start_tray
wait_until 10 tray_icon_window || fail "the icon did not dock when the tray host started"
zorv_running || fail "zorv ended after the tray host started"
# A fresh home gets a private settings folder and file at launch.
[ "$(stat -c %a "$(dirname "$CONF")")" = 700 ] || fail "config folder has mode $(stat -c %a "$(dirname "$CONF")")"
[ "$(stat -c %a "$CONF")" = 600 ] || fail "zorv.conf has mode $(stat -c %a "$CONF")"
