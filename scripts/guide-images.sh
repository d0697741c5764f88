#!/usr/bin/env bash
# Takes the pictures of the user's guide from the real program under Wine and keeps them,
# cropped, in docs/guide/images/. Run it again whenever the windows change:
#
#   scripts/guide-images.sh
#
# It builds as ./test.sh does and then runs itself as a Wine scenario, with the toolkit of
# tests/e2e (lib.sh, clavora.sh); the full screenshots stay in build/e2e-artifacts/guide-images/.
if [ -z "${E2E_DIR:-}" ]; then
    set -euo pipefail
    cd "$(dirname "$0")/.."
    source scripts/deps.sh
    clavora_ensure_deps
    clavora_build
    root=${BUILD_ROOT:-build}
    export CLAVORA_WIN64_DIR=$PWD/$root/win64 CLAVORA_BUILD_DIR=$PWD/$root/host
    exec bash tests/e2e/run-scenario.sh "$PWD/scripts/guide-images.sh"
fi

source "$E2E_DIR/clavora.sh"

IMAGES="$E2E_DIR/../../docs/guide/images"
WM_SYSCOMMAND=0x0112
IDM_ABOUTBOX=16
IDCANCEL=2
PIN_PICTURE_ID=1006
IDC_SELECT_CHILD=1022
IDC_CHILD_LIST=1023
IDC_PROPERTY_SETTINGS=1026
MEMO="買い物メモ：牛乳、卵、食パン"

# shot NAME MARGIN RECT...: a screenshot cut to the rectangles given and MARGIN pixels around
# them, kept as NAME.png.
shot() {
    local name=$1 margin=$2 l=100000 t=100000 r=0 b=0 rect rl rt rr rb
    shift 2
    for rect in "$@"; do
        IFS=, read -r rl rt rr rb <<<"$rect"
        ((rl < l)) && l=$rl
        ((rt < t)) && t=$rt
        ((rr > r)) && r=$rr
        ((rb > b)) && b=$rb
    done
    l=$((l > margin ? l - margin : 0)) t=$((t > margin ? t - margin : 0)) r=$((r + margin)) b=$((b + margin))
    screenshot "$name"
    convert "$ARTIFACTS/$name.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage -strip "$IMAGES/$name.png"
    log "$name.png: $((r - l))x$((b - t))"
}

rect_of() { info_of "$1" rect; }

visible_window() { field hwnd "$(wait_window --title "$1" --exe clavora.exe --visible --timeout 10000)"; }

menus() { { probe find --class '#32768' --visible --exe clavora.exe || true; } | while IFS= read -r line; do field rect "$line"; echo; done; }

# The pin's menu, by a right click on its head (its white pixels let clicks through). The keys
# that choose its items reach it only while Clavora has the X focus, which Win+Z gave notepad.
open_pin_menu() {
    local l t r b
    xdotool windowfocus "$(field xid "$(probe xid "$PIN")")"
    IFS=, read -r l t r b <<<"$(field rect "$(child_line "$PIN" "$PIN_PICTURE_ID")")"
    xdotool mousemove $((l + (r - l) * 2 / 3)) $((t + (b - t) * 3 / 10)) click 3
    wait_until "[ \"\$(menus | grep -c .)\" = 1 ]" 5000 || fail "the pin's menu did not open"
}

close_dialog() {
    probe post "$1" "$WM_COMMAND" "$IDCANCEL" 0
    probe wait-gone "$1" --timeout 5000 >/dev/null || fail "a dialog did not close"
}

# A desktop in a calm colour rather than X's black, as the pin's see-through parts show it.
convert -size 1280x1024 xc:'#3a6ea5' "$ARTIFACTS/desktop.png"
# display says 1 even when it has set the picture.
display -window root "$ARTIFACTS/desktop.png" || true
mkdir -p "$IMAGES"

# Two pinned programs, away from the top-left corner where the dialogs open and the bottom-right
# one where the panel does.
clavora_start
start_exe clock
clock=$(field hwnd "$(wait_window --exe clock.exe --visible --timeout 20000)")
probe move "$clock" 320 600 220 220
press_pin_hotkey "$clock"
wait_pin "$clock" >/dev/null || fail "Win+Z did not pin the clock"
start_notepad
probe move "$NOTEPAD" 700 420 520 300
probe settext "$(child_of "$NOTEPAD" 0)" "$MEMO" >/dev/null
press_pin_hotkey "$NOTEPAD"
PIN=$(field hwnd "$(wait_pin "$NOTEPAD")")
probe idle "$PIN" >/dev/null
shot pin 16 "$(rect_of "$NOTEPAD")" "$(rect_of "$PIN")"

# The menu with its Z-Order submenu open.
open_pin_menu
xdotool key Down Down Down Right
wait_until "[ \"\$(menus | grep -c .)\" = 2 ]" 5000 || fail "the Z-Order submenu did not open"
# shellcheck disable=SC2046
shot pin-menu 12 "$(rect_of "$PIN")" $(menus)
xdotool key Escape Escape

open_pin_menu
xdotool key Down Down Return
dialog=$(visible_window "プロパティ")
probe idle "$dialog" >/dev/null
shot transparency 0 "$(rect_of "$dialog")"
close_dialog "$dialog"

open_pin_menu
xdotool key Down Down Down Down Return
match=$(visible_window "マッチング条件設定")
probe idle "$match" >/dev/null
shot match-condition 0 "$(rect_of "$match")"
click_control "$match" "$IDC_SELECT_CHILD"
child=$(visible_window "子ウィンドウ条件選択")
probe idle "$child" >/dev/null
row=$(probe listview "$(child_of "$child" "$IDC_CHILD_LIST")" | LC_ALL=C grep $'^row=0\t')
IFS=, read -r l t r b <<<"$(field rect "$row")"
xdotool mousemove $((l + 20)) $(((t + b) / 2)) click 1
probe idle "$child" >/dev/null
shot child-selection 0 "$(rect_of "$child")"
close_dialog "$child"
close_dialog "$match"

# The panel, shown by a double click on the tray icon, and its settings.
read -r x y <<<"$(tray_icon_center)"
xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_until "[ \"\$(info_of $CLAVORA_MAIN visible)\" = 1 ]" 5000 || fail "the panel did not show"
probe idle "$CLAVORA_MAIN" >/dev/null
shot panel 0 "$(rect_of "$CLAVORA_MAIN")"
click_control "$(field parent "$(child_line "$CLAVORA_MAIN" 1000)")" "$IDC_PROPERTY_SETTINGS"
settings=$(visible_window "プロパティ設定")
probe idle "$settings" >/dev/null
shot settings 0 "$(rect_of "$settings")"
close_dialog "$settings"

probe post "$CLAVORA_MAIN" "$WM_SYSCOMMAND" "$IDM_ABOUTBOX" 0
about=$(field hwnd "$(wait_window --title Clavora --exe clavora.exe --visible --owner "$CLAVORA_MAIN" --timeout 5000)")
probe idle "$about" >/dev/null
shot about 0 "$(rect_of "$about")"
close_dialog "$about"
probe post "$CLAVORA_MAIN" "$WM_KEYDOWN" "$VK_ESCAPE" 0

open_tray_menu
shot tray-menu 8 "$(field rect "$(probe find --title "Wine System Tray" --exe explorer.exe | head -n1)")" "$MENU_RECT"
xdotool key Escape
