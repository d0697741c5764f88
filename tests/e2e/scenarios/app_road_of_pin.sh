# The road of one pin through the real program: Win+Z over notepad, the pin in its place, the
# duplicate notice, the window held at its rectangle, "終了" writing the record, and the pin
# coming back after a restart, after notepad is reopened and after a maximised spell.
source "$E2E_DIR/clavora.sh"

# The pin sits 20 pixels right of the target's left edge and 32 above its top edge.
expected_pin_corner() {
    local l t r b
    IFS=, read -r l t r b <<<"$1"
    echo "$((l + 20)),$((t - 32))"
}
pin_corner_of() { cut -d, -f1,2 <<<"$(pin_rect_of "$1")"; }

# A pin must show within 1 s of being due; what one probe call costs is not Clavora's time.
expect_pin_within_1s() {
    local since=$1 what=$2 line
    line=$(wait_pin "$NOTEPAD" 5000) || fail "no pin $what"
    local took allowance
    took=$(elapsed_since "$since")
    allowance=$(probe_overhead)
    log "pin $what after $took ms (one probe call costs $allowance ms)"
    [ "$took" -le $((1000 + allowance)) ] || fail "the pin $what took $took ms"
    PIN_HWND=$(field hwnd "$line")
}

clavora_start
start_notepad
# Away from the screen's edge, so that the pin above it is in sight.
probe move "$NOTEPAD" 200 150 640 480
NOTEPAD_RECT=$(field rect "$(probe info "$NOTEPAD")")
press_pin_hotkey "$NOTEPAD"
expect_pin_within_1s "$(now_ms)" "after Win+Z"
expect_eq "$(pin_corner_of "$NOTEPAD")" "$(expected_pin_corner "$NOTEPAD_RECT")" "pin corner"
probe idle "$PIN_HWND" >/dev/null
screenshot pinned

# Win+Z again on the pinned window: the notice, and still one pin.
press_pin_hotkey "$NOTEPAD"
notice=$(probe wait-window --title "重複操作" --exe clavora.exe --visible --timeout 5000) ||
    fail "no duplicate-pin notice"
notice_hwnd=$(field hwnd "$notice")
probe idle "$notice_hwnd" >/dev/null
expect_match "$(probe children "$notice_hwnd")" "text=既に画鋲がささっています\." "duplicate-pin text"
screenshot duplicate-pin
probe post "$notice_hwnd" "$WM_COMMAND" "$IDOK" 0
probe wait-gone "$notice_hwnd" --timeout 5000 >/dev/null || fail "the notice did not close"
expect_eq "$(pin_count_of "$NOTEPAD")" 1 "pin windows on notepad"

# Moved by another program, notepad is put back within the hold period.
IFS=, read -r l t r b <<<"$NOTEPAD_RECT"
probe move "$NOTEPAD" $((l + 150)) $((t + 100)) $((r - l)) $((b - t))
wait_until "[ \"\$(field rect \"\$(probe info $NOTEPAD)\")\" = '$NOTEPAD_RECT' ]" 3000 ||
    fail "notepad was not put back at $NOTEPAD_RECT"

# "終了" from the real tray menu: the record is written with its target rectangle and the
# tray icon goes.
open_tray_menu
screenshot tray-menu
choose_menu_item last
wait_clavora_gone
expect_eq "$(tray_icon_count)" 0 "tray icons after 終了"
expect_eq "$(ini_value PINNUM SYSTEM)" 1 "PINNUM"
expect_eq "$(ini_value EXENAME PINITEM0)" NOTEPAD.EXE "EXENAME"
expect_eq "$(ini_value FULLFLAG PINITEM0)" 1 "FULLFLAG"
expect_eq "$(ini_value TGT_LEFT PINITEM0),$(ini_value TGT_TOP PINITEM0),$(ini_value TGT_RIGHT PINITEM0),$(ini_value TGT_BOTTOM PINITEM0)" \
    "$NOTEPAD_RECT" "target rectangle in the file"
expect_eq "$(pin_count_of "$NOTEPAD")" 0 "pin windows after 終了"

# Started again with notepad open: pinned again by the first cycles, which run once Clavora is
# up (starting a program under Wine takes a while of its own on a busy machine).
clavora_start
expect_pin_within_1s "$(now_ms)" "after the restart"

# Notepad closed: its pin ends; reopened: pinned again.
probe close "$NOTEPAD"
probe wait-gone "$PIN_HWND" --timeout 5000 >/dev/null || fail "the pin outlived notepad"
start_notepad
expect_pin_within_1s "$(now_ms)" "on the reopened notepad"
corner=$(pin_corner_of "$NOTEPAD")

# Maximised: the pin goes; restored: it comes back where it was.
probe maximize "$NOTEPAD"
probe wait-gone "$PIN_HWND" --timeout 5000 >/dev/null ||
    fail "the pin stayed on the maximised window: $(probe info "$NOTEPAD")"
probe restore "$NOTEPAD"
expect_pin_within_1s "$(now_ms)" "after the restore"
expect_eq "$(pin_corner_of "$NOTEPAD")" "$corner" "pin corner after the restore"
screenshot restored

# A pin the cycle starts changes notepad's Z order without activating it: the keyboard stays
# with the window the user types in.
start_exe "$TARGET" --title "Typing here" --rect 700,150,400,300
typing=$(field hwnd "$(wait_window --title "Typing here" --visible)")
focus_window "$typing"
title=$(probe text "$NOTEPAD")
probe settext "$NOTEPAD" "Renamed for a while" >/dev/null
probe wait-gone "$PIN_HWND" --timeout 5000 >/dev/null || fail "the pin stayed on the renamed window"
probe settext "$NOTEPAD" "$title" >/dev/null
expect_pin_within_1s "$(now_ms)" "after the title came back"
is_foreground "$typing" || fail "the pin took the foreground from the window being typed in: $(probe foreground)"
