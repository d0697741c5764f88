# Windows given back as they were found. Five records for five windows of target.exe: the
# list marks the shown pins and keeps the selected record selected while another pin ends;
# "画鋲削除" takes a window the pin made topmost out of the topmost band; a window that draws
# itself with per-pixel alpha keeps its layered style and its picture while pinned with
# transparency on, and afterwards, and its pin's menu offers no transparency; after "終了" the window the pin made topmost is back in the
# normal band, and one that was topmost before its pin is topmost again.
source "$E2E_DIR/clavora.sh"

IDYES=6
WS_EX_LAYERED=$((0x80000))
MAGENTA='#FF00FF'

TARGET_PATH="Z:${TARGET//\//\\}"
record() {
    printf '[PINITEM%s]\r\nTITLEFLAG=1\r\nPRECESSEFLAG=1\r\nFULLFLAG=1\r\nEXTENTFLAG=0\r\nTITLE=%s\r\nEXENAME=TARGET.EXE\r\nEXEPATH=%s\r\nZORDER=%s\r\nTRSPF=%s\r\nTRANS=50\r\n' \
        "$1" "$2" "$TARGET_PATH" "$3" "$4"
}
{
    printf '[SYSTEM]\r\nPINSIZE=1\r\nMOVEENABLE=0\r\nPNHOTKEY=90\r\nPNMODIFIERS=8\r\nPINNUM=5\r\n'
    record 0 "Given normal" 1 0
    record 1 "Given topmost" 0 0
    record 2 "Given skinned" 0 1
    record 3 "Given deleted" 1 0
    record 4 "Given closed" 0 0
} >"$WORKDIR/Clavora.ini"

# open_target VAR TITLE [OPTIONS...]: VAR becomes the window's handle, TARGET_PID its program's.
open_target() {
    local var=$1 title=$2
    shift 2
    start_exe "$TARGET" --title "$title" "$@"
    TARGET_PID=$LAST_PID
    printf -v "$var" '%s' "$(field hwnd "$(wait_window --title "$title" --exe target.exe --visible --timeout 20000)")"
}
open_target N "Given normal" --rect 100,120,300,160
open_target T "Given topmost" --rect 450,120,300,160 --topmost
open_target U "Given skinned" --rect 100,400,300,160 --per-pixel-alpha
open_target D "Given deleted" --rect 450,400,300,160
open_target C "Given closed" --rect 800,400,300,160
U_EXSTYLE=$(info_of "$U" exstyle)
expect_eq "$(info_of "$U" layered)" unset "the skinned window's attributes (it draws with per-pixel alpha)"

# The colour of the screen in the middle of window h, from screenshot name.
colour_at() {
    local x y
    read -r x y <<<"$(center_of "$(info_of "$2" rect)")"
    convert "$ARTIFACTS/$1.png" -crop "1x1+$x+$y" -depth 8 txt:- | LC_ALL=C grep -o '#[0-9A-F]\{6\}' | head -n1
}

clavora_start
for h in "$N" "$T" "$U" "$D" "$C"; do wait_pin "$h" >/dev/null || fail "no pin on $(info_of "$h" title)"; done
expect_eq "$(info_of "$N" topmost),$(info_of "$T" topmost),$(info_of "$D" topmost)" 1,0,1 \
    "the bands the pins gave (Z order 1, 0, 1)"
# Transparency is on in its record, but a window with per-pixel alpha cannot take ours.
expect_eq "$(($(info_of "$U" exstyle) & WS_EX_LAYERED))" "$WS_EX_LAYERED" "the pinned skinned window's layered style"
expect_eq "$(info_of "$U" layered)" unset "the pinned skinned window's attributes"
screenshot pinned
expect_eq "$(colour_at pinned "$U")" "$MAGENTA" "the pinned skinned window's picture"
# Its pin offers no transparency: "透明度" is greyed, and taking it opens nothing.
PIN_U=$(field hwnd "$(wait_pin "$U")")
open_pin_menu "$PIN_U"
screenshot skinned-pin-menu
xdotool key Down Down Return
if probe wait-window --title "プロパティ" --exe clavora.exe --visible --timeout 1500 >/dev/null; then
    fail "透明度 opened its dialog for a window with per-pixel alpha"
fi
[ "$(menu_count)" = 0 ] || xdotool key Escape
wait_until '[ "$(menu_count)" = 0 ]' 3000 || fail "the pin's menu stayed open"

# --- the panel: the pins are marked, and the selection stays while another pin ends ---

read -r x y <<<"$(tray_icon_center)"
xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_until "[ \"\$(info_of $CLAVORA_MAIN visible)\" = 1 ]" 5000 || fail "the double click did not show the panel"
probe setfg "$CLAVORA_MAIN" >/dev/null
probe idle "$CLAVORA_MAIN" >/dev/null
LIST=$(child_of "$CLAVORA_MAIN" 1000)
PANEL=$(field parent "$(child_line "$CLAVORA_MAIN" 1000)")
list_rows() { probe listview "$LIST" | tail -n +2; }
marks() { list_rows | while IFS= read -r line; do printf '%s;' "$(field text2 "$line")"; done; }
expect_eq "$(marks)" "●;●;●;●;●;" "the marks of five shown pins"
expect_eq "$(field hscroll "$(probe listview "$LIST")")" 0 "a horizontal scroll bar"

click_at_rect "$(field rect "$(list_rows | sed -n 4p)")"
wait_until "[ \"\$(field selectionmark \"\$(probe listview $LIST)\")\" = 3 ]" 3000 || fail "row 3 was not selected"
kill "$TARGET_PID"
wait_until "[ \"\$(marks)\" = '●;●;●;●;;' ]" 5000 || fail "the closed window's pin is still marked: $(marks)"
expect_eq "$(field selectionmark "$(probe listview "$LIST")"),$(field selected "$(list_rows | sed -n 4p)")" 3,1 \
    "the selection after another pin ended"
screenshot panel-marks

# --- 画鋲削除 of the selected record: its window leaves the topmost band the pin gave it ---

click_control "$PANEL" 1002
# The question is captioned like the main window; the pins have no caption.
question() { probe find --class '#32770' --title Clavora --exe clavora.exe --visible | LC_ALL=C grep -v "hwnd=$CLAVORA_MAIN"$'\t' | head -n1 | field hwnd; }
wait_until '[ -n "$(question)" ]' 5000 || fail "画鋲削除 asked nothing"
box=$(question)
probe idle "$box" >/dev/null
probe post "$box" "$WM_COMMAND" "$IDYES" 0
wait_until "! LC_ALL=C grep -q 'TITLE=Given deleted' '$WORKDIR/Clavora.ini'" 5000 || fail "the deleted record stayed"
expect_eq "$(info_of "$D" topmost)" 0 "the deleted record's window"
list_rows | LC_ALL=C grep -q 'text1=Given closed' || fail "画鋲削除 took another record than the selected one"

# --- 終了: every window in the band it was found in ---

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0 >/dev/null
wait_clavora_gone
expect_eq "$(info_of "$N" topmost),$(info_of "$T" topmost)" 0,1 "the bands after 終了 (normal and topmost before)"
expect_eq "$(info_of "$U" exstyle)" "$U_EXSTYLE" "the skinned window's styles after 終了"
expect_eq "$(info_of "$U" layered)" unset "the skinned window's attributes after 終了"
screenshot after-exit
expect_eq "$(colour_at after-exit "$U")" "$MAGENTA" "the skinned window's picture after 終了"
