# The pin window on real targets, driven by pintest.exe (one record, the real pin window, no
# shell): where the pin sits and what it is, the hold timer, the Z order and the transparency
# from the pin's own menu and dialog, dragging, "抜く", and what ending the pin gives back.
source "$E2E_DIR/clavora.sh"
PIN_EXE=pintest.exe
PINTEST="$CLAVORA_WIN64_DIR/pintest.exe"
[ -f "$PINTEST" ] || fail "pintest.exe is not built in $CLAVORA_WIN64_DIR"

# pintest's commands, posted to its hidden window of class ClavoraPinTest.
PIN_END=$((0x8000 + 1))
WM_CLOSE=0x0010
IDYES=6
IDNO=7
WS_BORDER=$((0x00800000))
WS_EX_TOPMOST=$((0x8))
HOLD_MS=1500

PINTEST_LOG=
PINTEST_CONTROL=

start_pintest() {
    start_exe "$PINTEST" "$@"
    PINTEST_LOG="$ARTIFACTS/pintest.$E2E_LOG_SEQ.log"
    local line
    line=$(probe wait-window --class ClavoraPinTest --pid "$(pid_of_log_owner)" --timeout 10000) ||
        fail "pintest did not start: $(cat "$PINTEST_LOG")"
    PINTEST_CONTROL=$(field hwnd "$line")
}

# The Windows process ID of the pintest that wrote PINTEST_LOG (from its control= line).
pid_of_log_owner() {
    wait_until "LC_ALL=C grep -q '^control=' '$PINTEST_LOG'" 10000 || fail "pintest gave no control window"
    field pid "$(probe info "$(field control "$(LC_ALL=C grep '^control=' "$PINTEST_LOG")")")"
}

pintest_said() { LC_ALL=C grep -q -- "$1" "$PINTEST_LOG"; }

wait_pin_on() {
    probe wait-window --owner "$1" --exe pintest.exe --visible --timeout 10000 || fail "no pin on $1"
}

# Picks an item of the open pin menu with the keyboard: 抜く, 透明度, the Z-Order submenu's
# 通常 and 最前面 (マッチング条件設定 needs the control panel).
choose_pin_item() {
    case $1 in
        pull-out) xdotool key Down Return ;;
        transparency) xdotool key Down Down Return ;;
        normal | topmost)
            xdotool key Down Down Down Right
            wait_until "[ \"\$(menu_count)\" = 2 ]" 5000 || fail "the Z-Order submenu did not open"
            [ "$1" = normal ] && xdotool key Return || xdotool key Down Return
            ;;
        *) fail "choose_pin_item: no item $1" ;;
    esac
    wait_until "[ \"\$(menu_count)\" = 0 ]" 5000 || fail "the pin's menu did not close"
}

# The handles of the first N visible top-level windows in Z order, comma-separated.
leading_windows() {
    probe list --visible | head -n "$1" | while IFS= read -r line; do field hwnd "$line"; echo; done | paste -sd,
}

# The pin's rectangle must be (left + 20, top - 32) of the target's, and the picture inside it.
check_pin_place() {
    local pin_line=$1 target_rect=$2 what=$3 pl pt pr pb tl tt tr tb picture xl xt xr xb
    IFS=, read -r pl pt pr pb <<<"$(field rect "$pin_line")"
    IFS=, read -r tl tt tr tb <<<"$target_rect"
    expect_eq "$pl,$pt" "$((tl + 20)),$((tt - 32))" "$what: the pin's top-left corner"
    picture=$(probe children "$(field hwnd "$pin_line")" | LC_ALL=C grep $'\tid='"$PIN_PICTURE_ID"$'\t')
    IFS=, read -r xl xt xr xb <<<"$(field rect "$picture")"
    expect_eq "$xl,$xb" "$pl,$pb" "$what: the picture in the pin's bottom-left corner"
    [ "$xr" -le "$pr" ] && [ "$xt" -ge "$pt" ] || fail "$what: the picture $xl,$xt,$xr,$xb overflows the pin"
    echo "$((xr - xl))x$((xb - xt))"
}

# --- a window of the target program: placement, hold, Z order, transparency, end ---

start_exe "$TARGET" --title "Pin target" --rect 300,300,400,300 --topmost
target_line=$(wait_window --title "Pin target" --exe target.exe --visible --timeout 20000)
TGT=$(field hwnd "$target_line")
TGT_RECT=$(field rect "$target_line")
TGT_STYLE=$(field style "$target_line")
TGT_EXSTYLE=$(field exstyle "$target_line")

# Z order 1 from the record: the topmost window stays topmost.
start_pintest --hwnd "$TGT" --zorder 1
pin_line=$(wait_pin_on "$TGT")
PIN=$(field hwnd "$pin_line")
log "pin $PIN on $TGT at $(field rect "$pin_line")"
expect_eq "$(field owner "$pin_line")" "$TGT" "the pin's owner"
expect_eq "$(field layered "$pin_line"),$(field colorkey "$pin_line"),$(field lwaflags "$pin_line")" \
    "yes,0xffffff,0x1" "the pin's colour key"
[ $(($(field style "$pin_line") & WS_BORDER)) -eq 0 ] || fail "the pin has a border"
expect_eq "$(check_pin_place "$pin_line" "$TGT_RECT" "small pin")" 30x29 "the small pin's picture"
expect_eq "$(info_of "$TGT" topmost)" 1 "the target after pinning with Z order 1"
pintest_said '●●StartPin! title=Pin target' || fail "no StartPin trace"
probe idle "$PIN" >/dev/null
screenshot pin-on-target

# Moved or resized by its own frame, the target is back within the hold period.
IFS=, read -r l t r b <<<"$TGT_RECT"
for change in "$((l + 150)) $((t + 80)) $((r - l)) $((b - t))" "$l $t $((r - l + 200)) $((b - t + 100))"; do
    # shellcheck disable=SC2086
    probe move "$TGT" $change >/dev/null
    t0=$(now_ms)
    wait_until "[ \"\$(info_of $TGT rect)\" = $TGT_RECT ]" "$HOLD_MS" ||
        fail "the target moved to ($change) was not put back within $HOLD_MS ms"
    log "moved to ($change): back after $(($(now_ms) - t0)) ms"
done

# A maximised target is left alone; restored, it is held again.
probe maximize "$TGT" >/dev/null
maximized_rect=$(info_of "$TGT" rect)
if wait_until "[ \"\$(info_of $TGT rect)\" != $maximized_rect ]" $((HOLD_MS + 500)); then
    fail "the maximised target was moved"
fi
expect_eq "$(info_of "$TGT" zoomed)" 1 "the target after two hold periods maximised"
probe restore "$TGT" >/dev/null
probe move "$TGT" $((l + 40)) $((t + 40)) $((r - l)) $((b - t)) >/dev/null
wait_until "[ \"\$(info_of $TGT rect)\" = $TGT_RECT ]" "$HOLD_MS" || fail "the restored target was not held again"

# Z order from the real menu, which gives the foreground back to the window that had it.
focus_window "$TGT"
open_pin_menu "$PIN"
screenshot pin-menu
choose_pin_item normal
wait_until "[ \"\$(info_of $TGT topmost)\" = 0 ]" 3000 || fail "通常 left the target topmost"
wait_until "is_foreground $TGT" 3000 || fail "the pin kept the foreground after its menu"
open_pin_menu "$PIN"
xdotool key Down Down Down Right
wait_until "[ \"\$(menu_count)\" = 2 ]" 5000 || fail "the Z-Order submenu did not open"
screenshot pin-menu-zorder
xdotool key Down Return
wait_until "[ \"\$(menu_count)\" = 0 ]" 5000 || fail "the pin's menu did not close"
# Wine moves the pin into the topmost band and the target right below it, but does not mark an
# owner of another thread's popup topmost; Windows marks both. Either way both lead the Z order.
wait_until "[ \"\$(info_of $PIN topmost)\" = 1 ]" 3000 || fail "最前面 did not raise the pin into the topmost band"
expect_eq "$(leading_windows 2)" "$PIN,$TGT" "the two leading windows after 最前面"
log "after 最前面: target topmost=$(info_of "$TGT" topmost)"

# Transparency 50 % from the real dialog.
open_pin_menu "$PIN"
choose_pin_item transparency
dialog_line=$(probe wait-window --title "プロパティ" --exe pintest.exe --visible --timeout 5000) ||
    fail "透明度 opened no dialog"
DLG=$(field hwnd "$dialog_line")
probe idle "$DLG" >/dev/null
# Opened below the pin it belongs to, not at the screen's corner.
IFS=, read -r pl _ _ pb <<<"$(info_of "$PIN" rect)"
IFS=, read -r dl dt _ _ <<<"$(info_of "$DLG" rect)"
expect_eq "$dl,$dt" "$pl,$pb" "the transparency dialog's corner"
children=$(probe children "$DLG")
expect_match "$children" $'id=1010\ttext=70\t' "the percentage the dialog shows"
expect_eq "$(field result "$(probe send "$(field hwnd "$(printf '%s\n' "$children" | LC_ALL=C grep $'\tid=1012\t')")" \
    $BM_GETCHECK 0 0)")" 0 "制御する at first"
screenshot transparency-dialog
click_control "$DLG" 1012
probe settext "$(field hwnd "$(printf '%s\n' "$children" | LC_ALL=C grep $'\tid=1010\t')")" 50 >/dev/null
click_control "$DLG" 1
probe wait-gone "$DLG" --timeout 5000 >/dev/null || fail "OK did not close the dialog"
wait_until "[ \"\$(info_of $TGT alpha)\" = 127 ]" 3000 ||
    fail "transparency 50 % gave $(probe info "$TGT" | field layered) alpha $(info_of "$TGT" alpha)"
expect_eq "$(info_of "$TGT" lwaflags)" 0x2 "the target's layered flags"
screenshot target-at-50-percent

# Cancel hands nothing back.
open_pin_menu "$PIN"
choose_pin_item transparency
DLG=$(field hwnd "$(probe wait-window --title "プロパティ" --exe pintest.exe --visible --timeout 5000)")
probe idle "$DLG" >/dev/null
expect_match "$(probe children "$DLG")" $'id=1010\ttext=50\t' "the percentage shown the second time"
click_control "$DLG" 1012
click_control "$DLG" 2
probe wait-gone "$DLG" --timeout 5000 >/dev/null || fail "Cancel did not close the dialog"
expect_eq "$(info_of "$TGT" alpha)" 127 "the alpha after Cancel"

# Without a controller "抜く" has no record to remove: nothing happens.
open_pin_menu "$PIN"
choose_pin_item pull-out
wait_until "pintest_said 'CVelnoteWin::OnMenuitemdelete()'" 3000 || fail "抜く did not reach the pin"
probe find --exe pintest.exe --class '#32770' --title pintest --visible >/dev/null &&
    fail "抜く asked without a controller"

# Ending gives the target its styles back (the Z order is the pin's no longer).
probe post "$PINTEST_CONTROL" "$PIN_END" 0 0 >/dev/null
wait_until "pintest_said '^ended='" 5000 || fail "the pin did not end"
probe wait-gone "$PIN" --timeout 5000 >/dev/null || fail "the pin window stayed"
ended=$(LC_ALL=C grep '^ended=' "$PINTEST_LOG")
expect_eq "$(field recttarget "$ended"),$(field transflag "$ended"),$(field trans "$ended")" \
    "$TGT_RECT,1,50" "what the record took back"
pintest_said "^EndPin! title=Pin target" || fail "no EndPin trace"
after=$(probe info "$TGT")
expect_eq "$(field style "$after")" "$TGT_STYLE" "the target's style after the end"
expect_eq "$(($(field exstyle "$after") & ~WS_EX_TOPMOST))" "$((TGT_EXSTYLE & ~WS_EX_TOPMOST))" \
    "the target's extended style after the end"
expect_eq "$(field layered "$after")" none "the target's layering after the end"
probe post "$PINTEST_CONTROL" "$WM_CLOSE" 0 0 >/dev/null

# --- a window its own program made layered keeps its own look, pinned and afterwards ---

start_exe "$TARGET" --title "Layered target" --rect 700,300,300,200 --layered 200
layered_line=$(wait_window --title "Layered target" --exe target.exe --visible --timeout 20000)
LAYERED=$(field hwnd "$layered_line")
expect_eq "$(field alpha "$layered_line"),$(field lwaflags "$layered_line")" "200,0x2" "the layered target at first"
start_pintest --hwnd "$LAYERED"
wait_pin_on "$LAYERED" >/dev/null
pinned=$(probe info "$LAYERED")
expect_eq "$(field layered "$pinned"),$(field alpha "$pinned"),$(field lwaflags "$pinned")" "yes,200,0x2" \
    "the layered target while pinned with transparency off"
probe post "$PINTEST_CONTROL" "$WM_CLOSE" 0 0 >/dev/null
wait_until "pintest_said '^ended='" 5000 || fail "the pin on the layered target did not end"
after=$(probe info "$LAYERED")
expect_eq "$(field layered "$after"),$(field alpha "$after"),$(field lwaflags "$after")" "yes,200,0x2" \
    "the layered target after the end"

# --- Wine's notepad: the normal pin, dragging, "抜く" through a controller ---

start_exe notepad
notepad_line=$(probe wait-window --exe notepad.exe --visible --timeout 20000) || fail "notepad did not open"
NOTEPAD=$(field hwnd "$notepad_line")
probe move "$NOTEPAD" 150 150 640 420 >/dev/null
NOTEPAD_RECT=$(info_of "$NOTEPAD" rect)
start_pintest --hwnd "$NOTEPAD" --pin-size 1 --move-enable 1
pin_line=$(wait_pin_on "$NOTEPAD")
PIN=$(field hwnd "$pin_line")
expect_eq "$(check_pin_place "$pin_line" "$NOTEPAD_RECT" "normal pin")" 52x50 "the normal pin's picture"
probe idle "$NOTEPAD" >/dev/null
probe idle "$PIN" >/dev/null
screenshot pin-on-notepad

# Dragging the pin drags notepad along, 20 pixels left of and 32 below the pin's corner.
read -r x y <<<"$(pin_head "$PIN")"
drag_pin_to "$PIN" $((x + 120)) $((y + 60))
IFS=, read -r l t r b <<<"$NOTEPAD_RECT"
moved="$((l + 120)),$((t + 60)),$((r + 120)),$((b + 60))"
wait_until "[ \"\$(info_of $NOTEPAD rect)\" = $moved ]" 3000 ||
    fail "notepad at $(info_of "$NOTEPAD" rect) after the drag, expected $moved (pin at $(info_of "$PIN" rect))"
check_pin_place "$(probe info "$PIN")" "$moved" "the dragged pin" >/dev/null
# and it is held at its new place.
probe move "$NOTEPAD" 10 10 640 420 >/dev/null
wait_until "[ \"\$(info_of $NOTEPAD rect)\" = $moved ]" "$HOLD_MS" || fail "notepad was not held at its new place"
screenshot pin-dragged

# "抜く": the question, No keeps the pin, Yes removes it through the controller.
for answer in $IDNO $IDYES; do
    open_pin_menu "$PIN"
    choose_pin_item pull-out
    box=$(probe wait-window --exe pintest.exe --class '#32770' --visible --title pintest --timeout 5000) ||
        fail "抜く asked nothing"
    BOX=$(field hwnd "$box")
    probe idle "$BOX" >/dev/null
    expect_match "$(probe children "$BOX")" $'text=画鋲を抜きますか？\t' "the question of 抜く"
    [ "$answer" = "$IDNO" ] && screenshot pull-out-question
    probe post "$BOX" $WM_COMMAND "$answer" 0 >/dev/null
    probe wait-gone "$BOX" --timeout 5000 >/dev/null || fail "the question did not close"
done
probe wait-gone "$PIN" --timeout 5000 >/dev/null || fail "抜く answered Yes left the pin"
wait_until "pintest_said '^removed='" 3000 || fail "the controller removed no record"
expect_eq "$(LC_ALL=C grep -c '^removed=' "$PINTEST_LOG")" 1 "records removed (No must keep it)"
probe post "$PINTEST_CONTROL" "$WM_CLOSE" 0 0 >/dev/null
