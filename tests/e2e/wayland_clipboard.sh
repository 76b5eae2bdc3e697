# Steps shared by the Wayland clipboard tests: the panel's paste button and
# cards driven with the compositor's pointer. Source it after wayland.sh.

# not COMMAND...: for wait_until, the command fails.
not() {
    ! "$@"
}

# show_panel: the panel comes fully out at the edge.
show_panel() {
    pointer glide 0 400 8 15
    wait_until 2 panel_at 0 || fail "the panel did not come out: x=$(panel_x)"
}

# hide_panel: the pointer goes back over the Wayland window.
hide_panel() {
    pointer glide 900 400 8 15
    wait_until 3 panel_at -136 || fail "the panel did not hide: x=$(panel_x)"
}

# paste_lit: the paste button is lit, that is the clipboard slot holds
# something (the panel must be out).
paste_lit() {
    local r g b
    read -r r g b < <(import -window "$(panel_window)" -crop "1x1+84+432" -depth 8 txt:- 2>/dev/null |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p')
    [ -n "$b" ] && [ "$(brightness "$r" "$g" "$b")" -ge 180 ]
}

# press_paste: clicks the paste button of the shown panel.
press_paste() {
    pointer glide 84 "$((PANEL_TOP + 432))" 4 15 click
}

# focus_x11 / focus_wayland: gives the keyboard to the X11 window (on the
# left) or to the Wayland one (on the right), through the compositor's own
# means where its harness has them, else with a click.
focus_x11() {
    if declare -F focus_x11_window >/dev/null; then
        focus_x11_window
    else
        pointer glide 300 400 6 15 click
    fi
    wait_until 3 x11_focused Xmessage || fail "the X11 window did not take the focus"
}
focus_wayland() {
    if declare -F focus_wayland_window >/dev/null; then
        focus_wayland_window
    else
        pointer glide 900 400 8 15 click
    fi
    wait_until 3 not x11_focused Xmessage || fail "the Wayland window did not take the focus back"
}
