# What the scenarios of the running program share, on top of lib.sh: Clavora's windows, its
# tray icon and menu, the hotkey, pins and the configuration file. Sourced by those scenarios.
#
#   clavora_start [ARGS...]    starts Clavora.exe from CLAVORA_HOME and waits until its main
#                              window exists and its tray icon is shown; sets CLAVORA_PID,
#                              CLAVORA_MAIN. CLAVORA_HOME is WORKDIR unless the scenario names
#                              another folder (Clavora keeps its Clavora.ini beside the exe)
#   tray_icon_center           "X Y" of Clavora's icon in the Wine System Tray, or fail
#   tray_icon_count            how many icons the tray shows
#   open_tray_menu             right click on the icon; sets MENU_RECT (the popup's rectangle)
#   choose_menu_item first|last   clicks the popup's first or last item
#   press_pin_hotkey HWND [KEYS]  gives HWND the X focus and presses KEYS (super+z)
#   wait_pin HWND [MS]         the probe line of HWND's pin window (visible, owned by HWND)
#   pin_rect_of HWND           its rectangle "L,T,R,B"
#   pin_count_of HWND          how many pin windows HWND owns
#   pin_head PIN               "X Y" of a pixel of the pin's head, where a click takes the pin
#   drag_pin_to PIN X Y        drags the pin by its head with the mouse until the cursor is at X Y
#   menu_count                 how many popup menus PIN_EXE shows
#   open_pin_menu PIN          right click on the pin's head; waits for its menu
#   open_conditions_from_pin PIN   "マッチング条件設定" from the pin's menu; sets MATCH (the dialog)
#   open_child_selection       "条件選択" in MATCH; sets CHILD (the dialog) and LIST (its list)
#   wait_clavora_gone [MS]     waits until the Clavora process has ended
#   start_notepad              starts Wine's notepad; sets NOTEPAD (hwnd) and NOTEPAD_RECT
#   ini_value KEY [SECTION]    a value of CLAVORA_HOME/Clavora.ini (first match after SECTION)
#   elapsed_since T0           milliseconds since T0 (now_ms)
#   probe_overhead             milliseconds one probe call costs (its start under Wine)

CLAVORA_PID=
CLAVORA_MAIN=
MATCH=
CHILD=
LIST=
MENU_RECT=
NOTEPAD=
NOTEPAD_RECT=

# WM_COMMAND with IDOK (IDYES) answers a message box; with IDM_EXIT it is the tray menu's "終了".
WM_COMMAND=0x0111
WM_KEYDOWN=0x0100
VK_ESCAPE=0x1B
IDOK=1
IDYES=6
IDM_EXIT=32772
PIN_PICTURE_ID=1006
IDC_SELECT_CHILD=1022
IDC_CHILD_LIST=1023

CLAVORA_HOME=${CLAVORA_HOME:-$WORKDIR}
# The program that shows the pins and their menus (pin_window.sh drives pintest.exe).
PIN_EXE=clavora.exe

clavora_start() {
    if [ "$CLAVORA_HOME" = "$WORKDIR" ]; then
        start_clavora "$@"
    else
        cp "$CLAVORA_EXE" "$CLAVORA_HOME/Clavora.exe"
        start_exe "$CLAVORA_HOME/Clavora.exe" "$@"
    fi
    CLAVORA_PID=$LAST_PID
    local line
    line=$(probe wait-window --exe clavora.exe --class '#32770' --title Clavora --timeout 20000) ||
        fail "Clavora's main window did not appear"
    CLAVORA_MAIN=$(field hwnd "$line")
    wait_until "[ \"\$(tray_icon_count)\" -ge 1 ]" 10000 || fail "no tray icon"
}

tray_window() { probe find --title "Wine System Tray" --exe explorer.exe | head -n1 | field hwnd; }

tray_icon_count() {
    local tray
    tray=$(tray_window) || return 1
    [ -n "$tray" ] || { echo 0; return 0; }
    probe children "$tray" | LC_ALL=C grep -c $'class=__winex11_tray_icon\t' || true
}

tray_icon_center() {
    local tray line rect l t r b
    tray=$(tray_window)
    [ -n "$tray" ] || fail "no Wine System Tray window"
    line=$(probe children "$tray" | LC_ALL=C grep $'class=__winex11_tray_icon\t' | head -n1)
    [ -n "$line" ] || fail "no icon in the tray"
    rect=$(field rect "$line")
    IFS=, read -r l t r b <<<"$rect"
    echo "$(((l + r) / 2)) $(((t + b) / 2))"
}

open_tray_menu() {
    local x y line
    read -r x y <<<"$(tray_icon_center)"
    xdotool mousemove "$x" "$y" click 3
    line=$(probe wait-window --class '#32768' --visible --exe clavora.exe --timeout 5000) ||
        fail "the tray menu did not open"
    MENU_RECT=$(field rect "$line")
}

choose_menu_item() {
    local l t r b
    IFS=, read -r l t r b <<<"$MENU_RECT"
    case $1 in
        first) xdotool mousemove "$(((l + r) / 2))" "$((t + 10))" click 1 ;;
        last) xdotool mousemove "$(((l + r) / 2))" "$((b - 10))" click 1 ;;
        *) fail "choose_menu_item: first or last, not $1" ;;
    esac
}

press_pin_hotkey() {
    local xid
    xid=$(probe xid "$1" | field xid)
    [ -n "$xid" ] || fail "no X window behind $1"
    xdotool windowfocus --sync "$xid"
    xdotool key "${2:-super+z}"
}

wait_pin() { probe wait-window --owner "$1" --exe clavora.exe --visible --timeout "${2:-5000}"; }

pin_count_of() { { probe find --owner "$1" --exe clavora.exe || true; } | wc -l; }

pin_rect_of() { probe find --owner "$1" --exe clavora.exe --visible | head -n1 | field rect; }

# The picture sits in the pin's bottom-left corner, the head in its upper right part. White
# pixels are see-through, so a click must hit the picture itself.
pin_head() {
    local line l t r b
    line=$(probe children "$1" | LC_ALL=C grep $'\tid='"$PIN_PICTURE_ID"$'\t')
    IFS=, read -r l t r b <<<"$(field rect "$line")"
    echo "$((l + (r - l) * 2 / 3)) $((t + (b - t) * 3 / 10))"
}

# Through a point half-way, so that the pin sees the drag begin before it ends. A busy Clavora
# may take the press after the first motion has passed: the motion is repeated, a pixel further
# each time, until the pin follows.
drag_pin_to() {
    local x y start hx hy try half
    read -r x y <<<"$(pin_head "$1")"
    start=$(field rect "$(probe info "$1")")
    hx=$(((x + $2) / 2))
    hy=$(((y + $3) / 2))
    xdotool mousemove "$x" "$y" mousedown 1
    for try in 0 1 2; do
        xdotool mousemove $((hx + try)) "$hy"
        wait_until "[ \"\$(field rect \"\$(probe info $1)\")\" != '$start' ]" 1500 && break
    done
    # The button goes up only once the pin has taken the last stretch, or has had time to: on a
    # busy machine a drag has been seen to end where its first stretch did. Where the drag stops
    # short, the pin stays where it is and the wait runs out.
    half=$(field rect "$(probe info "$1")")
    xdotool mousemove "$2" "$3"
    wait_until "[ \"\$(field rect \"\$(probe info $1)\")\" != '$half' ]" 1500 || true
    xdotool mouseup 1
}

menu_count() { probe find --class '#32768' --visible --exe "$PIN_EXE" 2>/dev/null | LC_ALL=C grep -c . || true; }

open_pin_menu() {
    local x y
    read -r x y <<<"$(pin_head "$1")"
    xdotool mousemove "$x" "$y" click 3
    wait_until "[ \"\$(menu_count)\" = 1 ]" 5000 || fail "the pin's menu did not open"
}

# The menu's last item, chosen with the keyboard.
open_conditions_from_pin() {
    open_pin_menu "$1"
    xdotool key Down Down Down Down Return
    MATCH=$(field hwnd "$(wait_window --title "マッチング条件設定" --exe clavora.exe --visible --timeout 5000)")
    probe idle "$MATCH" >/dev/null
}

open_child_selection() {
    click_control "$MATCH" "$IDC_SELECT_CHILD"
    CHILD=$(field hwnd "$(wait_window --title "子ウィンドウ条件選択" --exe clavora.exe --visible --timeout 10000)")
    probe idle "$CHILD" >/dev/null
    LIST=$(child_of "$CHILD" "$IDC_CHILD_LIST")
}

wait_clavora_gone() {
    wait_until "! kill -0 $CLAVORA_PID" "${1:-10000}" || fail "Clavora did not end"
}

start_notepad() {
    start_exe notepad
    local line
    line=$(probe wait-window --exe notepad.exe --visible --timeout 20000) || fail "notepad did not open"
    NOTEPAD=$(field hwnd "$line")
    probe idle "$NOTEPAD" >/dev/null || true
    NOTEPAD_RECT=$(field rect "$(probe info "$NOTEPAD")")
}

ini_value() {
    local key=$1 section=${2:-}
    LC_ALL=C awk -v key="$key" -v section="[$section]" '
        { sub(/\r$/, "") }
        section == "[]" || $0 == section { found = 1 }
        found && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$CLAVORA_HOME/Clavora.ini"
}

elapsed_since() { echo $(($(now_ms) - $1)); }

probe_overhead() {
    local t0
    t0=$(now_ms)
    probe pid >/dev/null
    elapsed_since "$t0"
}
