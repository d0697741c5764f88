# Nothing lost when Clavora is ended without notice or the session ends: a transparency set
# from the real pin menu survives a SIGKILL two seconds later, and a record made with Win+Z
# right before the Wine session ends (wineboot --end-session) is in Clavora.ini afterwards,
# with its pin ended and its window given its styles back. A logoff called off ends nothing.
source "$E2E_DIR/reliability.sh"

IDOK=1
WS_EX_LAYERED=$((0x80000))
WM_ENDSESSION=0x0016
ENDSESSION_LOGOFF=$((0x80000000))

clavora_start
start_target --title "Session A" --rect 200,200,420,300
press_pin_hotkey "$TARGET_HWND"
PIN=$(field hwnd "$(wait_pin "$TARGET_HWND" 5000)") || fail "no pin after Win+Z"
probe idle "$PIN" >/dev/null

# 透明度 50 % from the pin's own menu and dialog.
open_pin_menu "$PIN"
xdotool key Down Down Return
dialog=$(probe wait-window --title "プロパティ" --exe clavora.exe --visible --timeout 5000) ||
    fail "透明度 opened no dialog"
DLG=$(field hwnd "$dialog")
probe idle "$DLG" >/dev/null
click_control "$DLG" 1012
probe settext "$(child_of "$DLG" 1010)" 50 >/dev/null
click_control "$DLG" "$IDOK"
probe wait-gone "$DLG" --timeout 5000 >/dev/null || fail "OK did not close the dialog"
wait_until "[ \"\$(info_of $TARGET_HWND alpha)\" = 127 ]" 3000 || fail "the target did not become 50 % opaque"

# Killed two seconds later, without any chance to save: the change was saved on its own.
sleep 2
{ kill -KILL "$CLAVORA_PID" && wait "$CLAVORA_PID"; } 2>/dev/null || true
expect_eq "$(ini_value TRSPF PINITEM0),$(ini_value TRANS PINITEM0)" "1,50" "the transparency in Clavora.ini"

# Restarted, Clavora gives that transparency to a new window of the same title.
kill "$TARGET_PID" 2>/dev/null || true
probe wait-gone "$TARGET_HWND" --timeout 5000 >/dev/null || fail "the first target did not close"
start_target --title "Session A" --rect 200,200,420,300
expect_eq "$(info_of "$TARGET_HWND" layered)" none "the new window's layering"
clavora_start
wait_pin "$TARGET_HWND" 10000 >/dev/null || fail "the pin did not come back after the restart"
wait_until "[ \"\$(info_of $TARGET_HWND alpha)\" = 127 ]" 3000 ||
    fail "after the restart the target has alpha $(info_of "$TARGET_HWND" alpha)"
screenshot restarted-at-50-percent

# A logoff that another program called off: Clavora stays, and so does the pin.
PIN=$(field hwnd "$(wait_pin "$TARGET_HWND" 1000)")
probe send "$CLAVORA_MAIN" "$WM_ENDSESSION" 0 "$ENDSESSION_LOGOFF" >/dev/null
sleep 1
probe info "$CLAVORA_MAIN" >/dev/null || fail "Clavora ended when a logoff was called off"
expect_eq "$(field hwnd "$(wait_pin "$TARGET_HWND" 1000)")" "$PIN" "the pin after a logoff called off"

# A second window pinned with Win+Z, and the session ends at once, long before a save would
# have come by itself.
start_target --title "Session B" --rect 500,250,420,300
press_pin_hotkey "$TARGET_HWND"
wine_run wineboot --end-session >"$ARTIFACTS/end-session.log" 2>&1 || true
wait_clavora_gone 15000
expect_eq "$(ini_value PINNUM SYSTEM)" 2 "records in Clavora.ini after the session ended"
expect_eq "$(ini_value TITLE PINITEM1)" "Session B" "the record made right before the end"
