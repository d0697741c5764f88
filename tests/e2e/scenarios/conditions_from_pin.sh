# A pin's matching conditions edited from its own menu in the real program: "マッチング条件設定",
# the match condition dialog, "条件選択" with the picture of the pinned window and its children,
# a child chosen by a click on its row, "拡張条件" ticked. The record in Clavora.ini then names
# the child, the pin follows the child's text, and the rule pins again after a restart. Last, a
# target minimised while the child selection is open is pictured and ends minimised, and the
# match condition dialog, whose pin has ended meanwhile, still hands its edit to the record.
source "$E2E_DIR/clavora.sh"

IDC_CHECK_PROCESS=1013
IDC_CHECK_FULL=1015
IDC_INFO_CLASS=1019
IDC_INFO_CTRLID=1020
IDC_CHECK_EXTENT=1021
IDC_INFO_TEXT=1023
IDC_RECAPTURE=1024
IDCANCEL=2
WS_MINIMIZE=$((0x20000000))
# Ending a pin takes about two seconds under Wine; one cycle is 500 ms.
CYCLE_ALLOWANCE_MS=5000

TITLE="Conditions target"
STATUS_ID=1001
STATUS_TEXT="状態: 準備完了"
BUSY_TEXT="状態: 処理中"

child_text() { field text "$(child_line "$1" "$2")"; }

click_at() { xdotool mousemove "$1" "$2" click 1; }

# How many colours the screenshot NAME shows inside the group box "ウィンドウイメージ" of the
# child selection, and how many of its pixels are the outline's red.
picture_box() {
    local box l t r b
    box=$(probe children "$CHILD" | LC_ALL=C grep $'\ttext=ウィンドウイメージ\t' | head -n1)
    IFS=, read -r l t r b <<<"$(field rect "$box")"
    convert "$ARTIFACTS/$1.png" -crop "$((r - l - 12))x$((b - t - 24))+$((l + 6))+$((t + 18))" +repage "$ARTIFACTS/$1-box.png"
}
colours_of() { identify -format '%k' "$ARTIFACTS/$1-box.png"; }
red_pixels_of() { convert "$ARTIFACTS/$1-box.png" txt:- | LC_ALL=C grep -c '#FF0000' || true; }

# The handle of the pin window on the target within MS, or fail saying WHAT.
pin_within() {
    local line
    line=$(wait_pin "$TGT" "$1") || fail "$2"
    field hwnd "$line"
}

# Whether the picture box now differs from the one of child-selection-preselected.
new_picture_shown() {
    local differing
    probe idle "$CHILD" >/dev/null
    screenshot child-selection-minimised
    picture_box child-selection-minimised
    differing=$(compare -metric AE "$ARTIFACTS/child-selection-preselected-box.png" \
        "$ARTIFACTS/child-selection-minimised-box.png" null: 2>&1 || true)
    [ "$differing" != 0 ]
}

ini_hex() { printf '%s' "$(ini_value "$1" PINITEM0)" | od -An -tx1 -v | tr -d ' \n'; }

# --- one record for the target's window, and the target with three children ---

{
    printf '[SYSTEM]\r\nPINSIZE=1\r\nMOVEENABLE=0\r\nPNHOTKEY=90\r\nPNMODIFIERS=8\r\nPINNUM=1\r\n'
    printf '[PINITEM0]\r\nTITLEFLAG=1\r\nPRECESSEFLAG=1\r\nEXTENTFLAG=0\r\nFULLFLAG=1\r\nEXFULLFLAG=1\r\n'
    printf 'TITLE=%s\r\nEXENAME=TARGET.EXE\r\nEXEPATH=Z:%s\r\n' "$TITLE" "${TARGET//\//\\}"
} >"$WORKDIR/Clavora.ini"

start_exe "$TARGET" --title "$TITLE" --rect 640,420,420,300 \
    --ctrl Static "$STATUS_ID" "$STATUS_TEXT" --ctrl Edit 1002 "メモ" --ctrl Button 1003 "閉じる"
TGT=$(field hwnd "$(wait_window --title "$TITLE" --exe target.exe --visible --timeout 20000)")
STATUS=$(child_of "$TGT" "$STATUS_ID")
probe idle "$TGT" >/dev/null

clavora_start
PIN=$(pin_within 5000 "the prepared record did not pin its window")
probe idle "$PIN" >/dev/null

# --- the match condition dialog from the pin's menu ---

open_conditions_from_pin "$PIN"
expect_eq "$(checked "$MATCH" "$IDC_CHECK_PROCESS"),$(checked "$MATCH" "$IDC_CHECK_FULL")" 1,1 \
    "プロセス名 and 完全一致 from the record"
expect_eq "$(field enabled "$(child_line "$MATCH" "$IDC_SELECT_CHILD")")" 1 "条件選択 from a pin"
expect_eq "$(child_text "$MATCH" "$IDC_INFO_CLASS")|$(child_text "$MATCH" "$IDC_INFO_CTRLID")" "|" \
    "the child condition of a record without one"
screenshot match-condition-dialog

# --- the child selection: the picture and the children ---

open_child_selection
rows=$(probe listview "$LIST")
expect_eq "$(field rows "$rows"),$(field columns "$rows")" 3,5 "candidate rows and columns"
status_row=$(printf '%s\n' "$rows" | LC_ALL=C grep $'^row=0\t')
expect_eq "$(field text0 "$status_row")|$(field text1 "$status_row")|$(field text2 "$status_row")" \
    "Static|$STATUS_ID|$STATUS_TEXT" "the first candidate"
expect_eq "$(field text3 "$status_row")" "$(printf '0x%08x' "$STATUS")" "the candidate's handle"
expect_eq "$(field selectionmark "$rows")" -1 "the selection of a record without a child"
screenshot child-selection-dialog
picture_box child-selection-dialog
[ "$(colours_of child-selection-dialog)" -ge 8 ] || fail "the picture box shows no picture of the target"

# A click on the row selects it and outlines the child in red on the picture.
IFS=, read -r l t r b <<<"$(field rect "$status_row")"
click_at $((l + 20)) $(((t + b) / 2))
wait_until "[ \"\$(field selectionmark \"\$(probe listview $LIST)\")\" = 0 ]" 3000 || fail "the click selected no row"
probe idle "$CHILD" >/dev/null
screenshot child-selection-outlined
picture_box child-selection-outlined
[ "$(red_pixels_of child-selection-outlined)" -ge 20 ] || fail "no red outline on the picture"

click_control "$CHILD" "$IDOK"
probe wait-gone "$CHILD" --timeout 5000 >/dev/null || fail "OK did not close the child selection"
probe idle "$MATCH" >/dev/null
expect_eq "$(child_text "$MATCH" "$IDC_INFO_CLASS")|$(child_text "$MATCH" "$IDC_INFO_CTRLID")|$(child_text "$MATCH" "$IDC_INFO_TEXT")" \
    "Static|$STATUS_ID|$STATUS_TEXT" "the chosen child in the match condition dialog"
click_control "$MATCH" "$IDC_CHECK_EXTENT"
wait_until "[ \"\$(checked $MATCH $IDC_CHECK_EXTENT)\" = 1 ]" 3000 || fail "拡張条件 was not ticked"
screenshot match-condition-chosen
click_control "$MATCH" "$IDOK"
probe wait-gone "$MATCH" --timeout 5000 >/dev/null || fail "OK did not close the match condition dialog"

# --- the record names the child, and the pin follows the child's text ---

wait_until "[ \"\$(ini_value EXCLASS PINITEM0)\" = Static ]" 3000 || fail "the saved record names no child class"
expect_eq "$(ini_value EXTENTFLAG PINITEM0),$(ini_value EXCTRLID PINITEM0)" "1,$STATUS_ID" "the extended condition"
expect_eq "$(ini_hex EXTEXT)" "$(ansi_hex "$STATUS_TEXT")" "the child's text in the file"
probe info "$PIN" >/dev/null || fail "the pin went with the new conditions"

probe settext "$STATUS" "$BUSY_TEXT" >/dev/null
probe wait-gone "$PIN" --timeout "$CYCLE_ALLOWANCE_MS" >/dev/null || fail "the pin stayed after the child's text changed"
probe settext "$STATUS" "$STATUS_TEXT" >/dev/null
PIN=$(pin_within "$CYCLE_ALLOWANCE_MS" "the pin did not come back with the text")

# --- after a restart the extended rule still pins ---

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0 >/dev/null
wait_clavora_gone
expect_eq "$(ini_value EXCLASS PINITEM0),$(ini_value EXCTRLID PINITEM0)" "Static,$STATUS_ID" "the child after 終了"
clavora_start
PIN=$(pin_within 5000 "the extended rule did not pin after the restart")
probe settext "$STATUS" "$BUSY_TEXT" >/dev/null
probe wait-gone "$PIN" --timeout "$CYCLE_ALLOWANCE_MS" >/dev/null || fail "the restarted rule ignores the child's text"
probe settext "$STATUS" "$STATUS_TEXT" >/dev/null
PIN=$(pin_within "$CYCLE_ALLOWANCE_MS" "the pin did not come back after the restart")
probe idle "$PIN" >/dev/null

# --- a minimised target is pictured and ends minimised; the pin's dialog still edits its record ---

open_conditions_from_pin "$PIN"
open_child_selection
expect_eq "$(field selectionmark "$(probe listview "$LIST")")" 0 "the current child preselected"
screenshot child-selection-preselected
picture_box child-selection-preselected
probe minimize "$TGT" >/dev/null
wait_until "[ \"\$(field iconic \"\$(probe info $TGT)\")\" = 1 ]" 3000 || fail "the target did not minimise"
probe wait-gone "$PIN" --timeout "$CYCLE_ALLOWANCE_MS" >/dev/null || fail "the pin stayed on the minimised target"
before=$(probe info "$TGT")
click_control "$CHILD" "$IDC_RECAPTURE"
wait_until new_picture_shown 5000 || fail "イメージ再取得 showed no new picture of the minimised target"
after=$(probe info "$TGT")
expect_eq "$(field iconic "$after")" 1 "the target after its picture"
expect_eq "$(field style "$after"),$(field exstyle "$after"),$(field layered "$after")" \
    "$(field style "$before"),$(field exstyle "$before"),$(field layered "$before")" "the minimised target's styles"
[ $(($(field style "$after") & WS_MINIMIZE)) -ne 0 ] || fail "WS_MINIMIZE lost"
click_control "$CHILD" "$IDCANCEL"
probe wait-gone "$CHILD" --timeout 5000 >/dev/null || fail "Cancel did not close the child selection"
# The user drops the process condition; OK hands it to the record although the pin has ended.
click_control "$MATCH" "$IDC_CHECK_PROCESS"
click_control "$MATCH" "$IDOK"
probe wait-gone "$MATCH" --timeout 5000 >/dev/null || fail "OK without the pin window did not end the dialog"
if probe find --class '#32770' --exe clavora.exe --visible --title Clavora >/dev/null; then
    fail "the dialog of an ended pin said something"
fi
wait_until "[ \"\$(ini_value PRECESSEFLAG PINITEM0)\" = 0 ]" 5000 ||
    fail "the edit made while the pin had ended did not reach the record"
probe restore "$TGT" >/dev/null
wait_pin "$TGT" "$CYCLE_ALLOWANCE_MS" >/dev/null || fail "the restored target was not pinned again"
expect_eq "$(ini_value EXCLASS PINITEM0)" Static "the child condition, which the edit left alone"
