# The control panel of the real program: its list with one row and one icon per record of
# Clavora.ini, "プロパティ設定" with a Windows-key combination typed into the hotkey field (the
# pins come back small and draggable, the new hotkey pins and the old one no longer does, the
# file has the new values; keys down before the field had the focus are left to the others, a
# letter alone is refused), and "画鋲削除" of a shown pin (its pin goes, its window leaves the
# topmost band, its row and its record go).
source "$E2E_DIR/clavora.sh"

IDYES=6
PIN_PICTURE_ID=1006

# The pin window on a target and the size of its picture.
pin_of() { field hwnd "$(wait_pin "$1" "${2:-5000}")"; }
picture_size_of() {
    local l t r b
    IFS=, read -r l t r b <<<"$(field rect "$(child_line "$1" "$PIN_PICTURE_ID")")"
    echo "$((r - l))x$((b - t))"
}

# A standard message box of Clavora's that shows text.
wait_message_box() {
    local text=$1 deadline line hwnd
    deadline=$(($(now_ms) + 5000))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        while IFS= read -r line; do
            hwnd=$(field hwnd "$line")
            if probe children "$hwnd" | LC_ALL=C grep -qF "text=$text"$'\t'; then
                echo "$hwnd"
                return 0
            fi
        done < <(probe find --class '#32770' --exe clavora.exe --visible || true)
        sleep 0.2
    done
    fail "no message box saying $text"
}

list_rows() { probe listview "$LIST" | tail -n +2; }
row_count() { field rows "$(probe listview "$LIST")"; }

# --- five records, two of them for windows that are open ---

TARGET_PATH="Z:${TARGET//\//\\}"
record() {
    printf '[PINITEM%s]\r\nTITLEFLAG=1\r\nPRECESSEFLAG=1\r\nFULLFLAG=1\r\nEXTENTFLAG=0\r\nTITLE=%s\r\nEXENAME=%s\r\nEXEPATH=%s\r\nZORDER=%s\r\n' \
        "$@"
}
{
    # PINSIZE and MOVEENABLE as a hand may write them: the normal pin, no dragging.
    printf '[SYSTEM]\r\nPINSIZE=2\r\nMOVEENABLE=2\r\nPNHOTKEY=90\r\nPNMODIFIERS=8\r\nPINNUM=5\r\n'
    record 0 "Panel target A" TARGET.EXE "$TARGET_PATH" 1
    record 1 "Panel target B" TARGET.EXE "$TARGET_PATH" 0
    record 2 "Never open" NOTEPAD.EXE 'C:\windows\system32\notepad.exe' 0
    record 3 "Gone program" GONE.EXE 'C:\nowhere\gone.exe' 0
    record 4 "Desktop record" DESKTOP.EXE DESKTOP 0
} >"$WORKDIR/Clavora.ini"

# Not topmost before its pin: deleting its record takes it out of the band the pin gave it.
start_exe "$TARGET" --title "Panel target A" --rect 120,200,400,260
A=$(field hwnd "$(wait_window --title "Panel target A" --exe target.exe --visible --timeout 20000)")
start_exe "$TARGET" --title "Panel target B" --rect 120,560,400,200
B=$(field hwnd "$(wait_window --title "Panel target B" --exe target.exe --visible --timeout 20000)")

clavora_start
PIN_A=$(pin_of "$A")
PIN_B=$(pin_of "$B")
expect_eq "$(picture_size_of "$PIN_A")" 52x50 "the pin from PINSIZE=2"
expect_eq "$(info_of "$A" topmost)" 1 "target A, pinned with Z order 1"

# --- the panel: shown by a double click on the tray icon ---

read -r x y <<<"$(tray_icon_center)"
xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_until "[ \"\$(info_of $CLAVORA_MAIN visible)\" = 1 ]" 5000 || fail "the double click did not show the panel"
probe idle "$CLAVORA_MAIN" >/dev/null
IFS=, read -r _ _ r b <<<"$(info_of "$CLAVORA_MAIN" rect)"
IFS=, read -r _ _ wr wb <<<"$(field rect "$(probe desktop screen | LC_ALL=C grep 'kind=workarea')")"
expect_eq "$r,$b" "$wr,$wb" "the panel's bottom-right corner"
LIST=$(child_of "$CLAVORA_MAIN" 1000)
PANEL=$(field parent "$(child_line "$CLAVORA_MAIN" 1000)")
summary=$(probe listview "$LIST")
expect_eq "$(field rows "$summary"),$(field columns "$summary")" 5,3 "rows and columns of the list"
[ "$(field smallimages "$summary")" != 0x0 ] || fail "the list has no small image list"
# One icon per distinct path: target.exe twice, notepad's, the error icon of a missing file,
# and the program's own desktop icon.
images=$(list_rows | while IFS= read -r line; do field image "$line"; echo; done | paste -sd,)
expect_eq "$images" 0,0,1,2,3 "the rows' images"
expect_eq "$(field text0 "$(list_rows | sed -n 1p)"),$(field text1 "$(list_rows | sed -n 1p)")" \
    "TARGET.EXE,Panel target A" "the first row"
expect_eq "$(field text1 "$(list_rows | sed -n 5p)")" "Desktop record" "the last row"
screenshot control-panel

# --- プロパティ設定: small pins, dragging, Win+X ---

click_control "$PANEL" 1026
dialog=$(probe wait-window --title "プロパティ設定" --class '#32770' --exe clavora.exe --visible --timeout 5000) ||
    fail "プロパティ設定 opened no dialog"
DLG=$(field hwnd "$dialog")
expect_eq "$(field owner "$dialog")" "$CLAVORA_MAIN" "the dialog's owner"
probe idle "$DLG" >/dev/null
expect_eq "$(checked "$DLG" 1025),$(checked "$DLG" 1026),$(checked "$DLG" 1028)" 0,1,0 \
    "小さい画鋲, 通常画鋲, 移動可 at first"
screenshot property-dialog

click_control "$DLG" 1025
click_control "$DLG" 1028

# answer_box TEXT: waits for Clavora's message box saying TEXT and answers it with OK.
answer_box() {
    local box
    box=$(wait_message_box "$1")
    probe post "$box" "$WM_COMMAND" "$IDOK" 0
    probe wait-gone "$box" --timeout 5000 >/dev/null || fail "the message $1 did not close"
}
# type_in_field XDOTOOL-ARGS...: the keys go to the hotkey field, which has the focus.
type_in_field() {
    focus_window "$DLG"
    click_control "$DLG" 1029
    probe idle "$DLG" >/dev/null
    xdotool "$@"
    probe idle "$DLG" >/dev/null
}
no_keys_held() { expect_eq "$(field held "$(probe held)")" "" "keys every program sees held $1"; }

# Shift+Tab from "重複確認" into the field: Shift and Tab went down before the field had the
# focus, so their releases are not the field's. Every program must see them go up, and the
# field must go on showing Win+Z.
WM_NEXTDLGCTL=0x0028
focus_window "$DLG"
probe send "$DLG" "$WM_NEXTDLGCTL" "$(child_of "$DLG" 1030)" 1 >/dev/null
probe idle "$DLG" >/dev/null
xdotool keydown shift keydown Tab
probe idle "$DLG" >/dev/null
expect_eq "$(field id "$(probe focus "$DLG")")" 1029 "the focus after Shift+Tab from 重複確認"
xdotool keyup Tab keyup shift
probe idle "$DLG" >/dev/null
no_keys_held "after Shift+Tab into the hotkey field"
click_control "$DLG" 1030
answer_box "現在の設定です。"

# A letter alone would take the key from everyone's typing: refused by "重複確認" and by OK,
# which leaves the dialog open. Ctrl let go before P still gives Ctrl+P.
type_in_field key p
click_control "$DLG" 1030
answer_box "このキーは文字の入力に使われます。Ctrl、Alt、Winのいずれかと組み合わせてください."
click_control "$DLG" 1
answer_box "このキーは文字の入力に使われます。Ctrl、Alt、Winのいずれかと組み合わせてください."
expect_eq "$(info_of "$DLG" visible)" 1 "the dialog after OK refused a letter alone"
type_in_field keydown ctrl keydown p keyup ctrl keyup p
no_keys_held "after Ctrl+P in the hotkey field"
click_control "$DLG" 1030
answer_box "設定可能です."

# Captured by the field, not acted on: Alt+F4 would otherwise close the dialog.
type_in_field key alt+F4
xdotool key super+x
probe idle "$DLG" >/dev/null
expect_eq "$(info_of "$DLG" visible)" 1 "the dialog after Alt+F4 in the hotkey field"
screenshot property-dialog-win-x

click_control "$DLG" 1030
box=$(wait_message_box "設定可能です.")
screenshot duplicate-check
probe post "$box" "$WM_COMMAND" "$IDOK" 0
probe wait-gone "$box" --timeout 5000 >/dev/null || fail "the duplicate check's message did not close"

t0=$(now_ms)
click_control "$DLG" 1
probe wait-gone "$DLG" --timeout 5000 >/dev/null || fail "OK did not close the dialog"

# Every pin ends and the cycle makes it anew with the small picture.
probe wait-gone "$PIN_A" --timeout 10000 >/dev/null || fail "the old pin of A stayed"
log "the old pin of A went $(elapsed_since "$t0") ms after OK"
PIN_A=$(pin_of "$A")
PIN_B=$(pin_of "$B")
expect_eq "$(picture_size_of "$PIN_A")" 30x29 "the pin after 小さい画鋲"
wait_until "[ \"\$(ini_value PNHOTKEY SYSTEM)\" = 88 ]" 3000 || fail "the new hotkey was not saved"
expect_eq "$(ini_value PINSIZE SYSTEM),$(ini_value MOVEENABLE SYSTEM),$(ini_value PNMODIFIERS SYSTEM)" 0,1,8 \
    "PINSIZE, MOVEENABLE, PNMODIFIERS"

# Win+Z no longer pins; Win+X does.
start_exe "$TARGET" --title "Panel target C" --rect 620,200,400,260
C=$(field hwnd "$(wait_window --title "Panel target C" --exe target.exe --visible --timeout 20000)")
press_pin_hotkey "$C" super+z
if wait_pin "$C" 1500 >/dev/null; then fail "Win+Z still pinned a window"; fi
press_pin_hotkey "$C" super+x
wait_pin "$C" 3000 >/dev/null || fail "Win+X did not pin the window"
wait_until "[ \"\$(row_count)\" = 6 ]" 3000 || fail "the new record is not listed"

# 移動可: dragging B's pin moves B with it.
IFS=, read -r bl bt _ _ <<<"$(info_of "$B" rect)"
IFS=, read -r l t r b <<<"$(field rect "$(child_line "$PIN_B" "$PIN_PICTURE_ID")")"
# A pixel of the pin's head, in the picture's upper right part: white is see-through.
x=$((l + (r - l) * 2 / 3))
y=$((t + (b - t) * 3 / 10))
# Each step waits until B has followed, as a hand does. A busy Clavora may take the press after
# the first motion has passed; that motion then comes once more.
xdotool mousemove "$x" "$y" mousedown 1
xdotool mousemove $((x + 60)) $((y - 30))
first_step="[ \"\$(info_of $B rect | cut -d, -f1,2)\" = $((bl + 60)),$((bt - 30)) ]"
wait_until "$first_step" 3000 ||
    { xdotool mousemove $((x + 59)) $((y - 30)) mousemove $((x + 60)) $((y - 30)) && wait_until "$first_step" 3000; } ||
    fail "the first step of the drag left B at $(info_of "$B" rect), its pin at $(info_of "$PIN_B" rect)"
xdotool mousemove $((x + 120)) $((y - 60))
wait_until "[ \"\$(info_of $B rect | cut -d, -f1,2)\" = $((bl + 120)),$((bt - 60)) ]" 3000 ||
    fail "the second step of the drag left B at $(info_of "$B" rect), its pin at $(info_of "$PIN_B" rect)"
xdotool mouseup 1
wait_until "[ \"\$(info_of $B rect | cut -d, -f1,2)\" = $((bl + 120)),$((bt - 60)) ]" 3000 ||
    fail "dragging the pin left B at $(info_of "$B" rect), expected it at $((bl + 120)),$((bt - 60))"

# --- 画鋲削除 of the shown pin of A ---

# The panel may have gone behind C; it must be seen to be clicked.
probe setfg "$CLAVORA_MAIN" >/dev/null
probe idle "$CLAVORA_MAIN" >/dev/null
click_at_rect "$(field rect "$(list_rows | sed -n 1p)")"
wait_until "[ \"\$(field selectionmark \"\$(probe listview $LIST)\")\" = 0 ]" 3000 || fail "row 0 was not selected"
click_control "$PANEL" 1002
box=$(wait_message_box "選択したデータを削除しますか？")
screenshot delete-question
t0=$(now_ms)
probe post "$box" "$WM_COMMAND" "$IDYES" 0
probe wait-gone "$PIN_A" --timeout 10000 >/dev/null || fail "the pin of the deleted record stayed"
log "the pin went $(elapsed_since "$t0") ms after Yes"
expect_eq "$(info_of "$A" topmost)" 0 "target A after its record was deleted"
expect_eq "$(row_count)" 5 "rows after the deletion"
list_rows | LC_ALL=C grep -q 'text1=Panel target A' && fail "the deleted record is still listed"
wait_until "! LC_ALL=C grep -q 'TITLE=Panel target A' '$WORKDIR/Clavora.ini'" 3000 ||
    fail "the file still has the deleted record"
# The record the hotkey made reaches the file with this save.
expect_eq "$(ini_value PINNUM SYSTEM),$(ini_value TITLE PINITEM4)" "5,Panel target C" "the records saved"
# Forgotten: the cycle does not pin A again.
if wait_pin "$A" 1500 >/dev/null; then fail "A was pinned again after its record was deleted"; fi
probe idle "$CLAVORA_MAIN" >/dev/null
screenshot control-panel-after-delete
