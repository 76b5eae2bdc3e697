#!/usr/bin/env bash
# Installed into a DESTDIR under /usr, Zorv lays out its program, valid menu
# and autostart entries and its icons; the .deb holds the same files and
# declares what they need; the installed program shows its panel and takes
# its window icon from the installed theme.
source "$(dirname "$0")/lib.sh"

BUILD=$(dirname "$ZORV_BIN")
ROOT="$WORK/root"
DESTDIR="$ROOT" cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 ||
    fail "cmake --install failed: $(cat "$WORK/install.log")"
files=$(cd "$ROOT" && find . -type f | sed 's/^\.//' | sort)
for file in /usr/bin/zorv /usr/share/applications/zorv.desktop /etc/xdg/autostart/zorv.desktop \
    /usr/share/icons/hicolor/scalable/apps/zorv.svg /usr/share/icons/hicolor/22x22/apps/zorv.png; do
    grep -qxF "$file" <<<"$files" || fail "$file was not installed; installed: $files"
done
unexpected=$(grep -vE '^/usr/bin/zorv$|^/usr/share/applications/zorv.desktop$|^/etc/xdg/autostart/zorv.desktop$|^/usr/share/icons/hicolor/(scalable|[0-9]+x[0-9]+)/apps/zorv.(svg|png)$' <<<"$files" || true)
[ -z "$unexpected" ] || fail "unexpected files installed: $unexpected"
for entry in usr/share/applications etc/xdg/autostart; do
    desktop-file-validate "$ROOT/$entry/zorv.desktop" || fail "$entry/zorv.desktop is not valid"
    grep -qx "Icon=zorv" "$ROOT/$entry/zorv.desktop" || fail "$entry/zorv.desktop does not name the icon"
done
grep -qx "Categories=Utility;" "$ROOT/usr/share/applications/zorv.desktop" || fail "the menu entry has no category"
note "installed: $(wc -l <<<"$files") files"

cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/deb" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$WORK/cpack.log")"
deb=$(ls "$WORK"/deb/zorv_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
note "Depends: $depends"
for package in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libxcb1 libxcb-xinput0 libxcb-xkb1 libxkbcommon0 \
    qt6-qpa-plugins qt6-image-formats-plugins hicolor-icon-theme; do
    grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "the .deb does not depend on $package"
done
packaged=$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print substr($6, 2) }' | sort)
[ "$packaged" = "$files" ] || fail "the .deb holds other files than the install: $packaged"
[ "$(dpkg-deb -I "$deb" conffiles)" = /etc/xdg/autostart/zorv.desktop ] || fail "the autostart entry is no conffile"

# The packaged program is hardened as Debian's own are: position-independent,
# its relocations read-only and resolved at start, its stack protected, and
# glibc's checked variants of buffer functions called.
if grep -qx "ZORV_HARDEN:BOOL=OFF" "$BUILD/CMakeCache.txt"; then
    note "built without hardening: not checked"
else
    dpkg-deb -x "$deb" "$WORK/unpacked"
    program="$WORK/unpacked/usr/bin/zorv"
    readelf -hW "$program" | grep -qE "Type: +DYN" || fail "the packaged zorv is not position-independent"
    readelf -lW "$program" | grep -qw GNU_RELRO || fail "the packaged zorv has no read-only relocations"
    readelf -dW "$program" | grep -qE "BIND_NOW|Flags: .*\bNOW\b" || fail "the packaged zorv binds lazily"
    symbols=$(readelf --dyn-syms -W "$program" | awk '{ print $8 }')
    grep -q "^__stack_chk_fail" <<<"$symbols" || fail "the packaged zorv has no stack protector"
    checked=$(grep -cE "^__[a-z]+_chk(@|$)" <<<"$symbols") || fail "the packaged zorv calls no checked libc functions"
    note "hardened: PIE, RELRO, BIND_NOW, stack protector, $checked checked libc functions"
fi

start_x
ZORV_BIN="$ROOT/usr/bin/zorv"
export XDG_DATA_DIRS="$ROOT/usr/share:/usr/share"
start_zorv
wait_until 30 panel_window || fail "the installed zorv showed no panel"
# Only the installed theme has a 128 px icon; the painted one stops at 64.
# (Read whole: grep -q would end xprop early, failing the pipe.)
icon_sizes=$(xprop -id "$(panel_window)" _NET_WM_ICON | grep -o "Icon ([0-9]* x [0-9]*)")
grep -qxF "Icon (128 x 128)" <<<"$icon_sizes" || fail "the window icon is not the installed one: $icon_sizes"
zorv_running || fail "the installed zorv did not keep running"
