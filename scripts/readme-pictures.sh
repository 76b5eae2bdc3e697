#!/usr/bin/env bash
# Makes the README's pictures from the real program on a private X server:
#   docs/shelf.png     the shown panel with a seeded shelf, with its key caps
#                      when a double tap of Alt+Super arms them;
#   docs/settings.png  the "Zorv Hotkeys" window, opened from the tray menu,
#                      skipped while the program opens no such window.
# Usage: bash scripts/readme-pictures.sh [path/to/zorv]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
bash "$repo/scripts/install-deps.sh" --tests

zorv=${1:-}
if [ -z "$zorv" ]; then
    # Reuse the build folder of scripts/run.sh or scripts/test.sh as it is.
    [ -f "$repo/build/CMakeCache.txt" ] ||
        cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORV_TESTS=OFF
    cmake --build "$repo/build" --target zorv -j"$(nproc)"
    zorv="$repo/build/zorv"
fi
docs="$repo/docs"
mkdir -p "$docs"

# The harness of the end-to-end tests: private X server, isolated home,
# cleanup of everything started.
# shellcheck source=../tests/e2e/lib.sh
source "$repo/tests/e2e/lib.sh" "$zorv"

font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
# fake_screenshot PATH BACKGROUND TITLE: a window on a desktop.
fake_screenshot() {
    convert -size 960x600 "gradient:$2" -font "$font" \
        -fill '#f5f5f5' -draw 'roundrectangle 120,90 840,540 10,10' \
        -fill '#d9dde3' -draw 'roundrectangle 120,90 840,140 10,10' -draw 'rectangle 120,120 840,140' \
        -fill '#2e3440' -pointsize 30 -draw "text 160,200 '$3'" \
        -fill '#88c0d0' -draw 'rectangle 160,240 560,270' -draw 'rectangle 160,300 760,330' \
        -fill '#a3be8c' -draw 'rectangle 160,360 660,390' -draw 'rectangle 160,420 460,450' \
        "PNG32:$1"
}
mkdir -p "$SHOTS"
fake_screenshot "$SHOTS/release.png" '#5e81ac-#2e3440' "Release checklist"
fake_screenshot "$SHOTS/chart.png" '#bf616a-#4c566a' "Weekly numbers"
seed_items "screenshot:$SHOTS/chart.png" "text:https://example.org/zorv" \
    "text:Ship the release notes on Friday" "screenshot:$SHOTS/release.png"

start_x 1280x800x24
start_tray
start_zorv

# Out, with the pointer resting inside the panel but off the cards.
xdotool mousemove 0 400
wait_until 10 panel_at 0 || fail "the panel did not come out"
xdotool mousemove 4 400
sleep 0.6
read -r px py pw ph < <(window_geometry "$(panel_window)")
shot_panel() {
    import -window root -crop "${pw}x${ph}+$px+$py" +repage "$1"
}
shot_panel "$WORK/shelf.png"

# The key caps: a double tap of the leader, as a user does it.
double_tap
sleep 0.6
panel_at 0 || fail "the panel went in after the double tap"
shot_panel "$WORK/shelf-caps.png"
changed=$(compare -metric AE "$WORK/shelf.png" "$WORK/shelf-caps.png" null: 2>&1 || true)
changed=${changed%% *}
if [ "$changed" -gt 100 ] 2>/dev/null; then
    cp "$WORK/shelf-caps.png" "$docs/shelf.png"
    echo "docs/shelf.png: the shelf with its key caps ($changed pixels changed by the double tap)"
else
    cp "$WORK/shelf.png" "$docs/shelf.png"
    echo "docs/shelf.png: the shelf WITHOUT key caps (a double tap of Alt+Super changed $changed pixels of the panel)"
fi

# The settings window, from the tray menu: right-click, Down, Return.
xdotool mousemove 640 400
wait_until 10 tray_icon_window || fail "the tray icon never docked"
# shellcheck disable=SC2046
xdotool mousemove $(window_center "$(tray_icon_window)") click 3
sleep 0.5
xdotool key Down Return
if wait_until 5 xdotool search --onlyvisible --name "^Zorv Hotkeys$"; then
    sleep 0.5
    import -window "$(xdotool search --onlyvisible --name "^Zorv Hotkeys$" | head -n1)" "$docs/settings.png"
    echo "docs/settings.png: the Zorv Hotkeys window"
else
    echo "docs/settings.png: SKIPPED, no \"Zorv Hotkeys\" window appeared after Edit Hotkeys… in the tray menu"
fi
