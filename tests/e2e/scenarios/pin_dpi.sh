# The pin at 96, 120 and 144 DPI (the prefix's LogPixels, one DPI for every monitor under
# Wine): the picture the pin draws, found by its pixels on the screen, must stand relative to
# its target's corner where it stands at 96 DPI and be as large, both in proportion to the DPI.
# At 144 DPI the control panel's list shows its columns whole with 24-pixel icons, and the child
# selection its picture box and columns in proportion, whole on the screen.
source "$E2E_DIR/clavora.sh"
PINTEST="$CLAVORA_WIN64_DIR/pintest.exe"
[ -f "$PINTEST" ] || fail "pintest.exe is not built in $CLAVORA_WIN64_DIR"
PIN_END=$((0x8000 + 1))
WM_CLOSE=0x0010
DPI_KEY='HKCU\Control Panel\Desktop'

# The DPI is read when Wine's processes start: every one of them is ended first. The prefix is
# shared with the other scenarios, so the value goes again when this one ends, however it ends.
set_dpi() {
    e2e_end_wine
    e2e_start_wine
    # Wine has been seen to end a program it had just started, without a word, right after a
    # new wineserver: the value is written again, up to three times.
    local try
    for try in 1 2 3; do
        wine_run reg add "$DPI_KEY" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 && return
        log "reg add LogPixels $1 failed (attempt $try)"
    done
    fail "LogPixels $1 not set"
}
restore_dpi() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    wine_run reg delete "$DPI_KEY" /v LogPixels /f >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
}
trap 'restore_dpi; e2e_cleanup' EXIT

# "DX DY W H": the box of the pixels the pin draws, from the target's top-left corner. The
# screen is taken with the pin and again after it ended; what differs is the picture.
drawn_pin() {
    local target=$1 size=$2 name=$3 line pin tl tt box
    start_exe "$PINTEST" --hwnd "$target" --pin-size "$size"
    local log="$ARTIFACTS/pintest.$E2E_LOG_SEQ.log"
    line=$(probe wait-window --owner "$target" --exe pintest.exe --visible --timeout 10000) || fail "no pin on $target"
    pin=$(field hwnd "$line")
    probe idle "$pin" >/dev/null
    screenshot "$name"
    wait_until "LC_ALL=C grep -q '^control=' '$log'" 10000 || fail "pintest gave no control window"
    probe post "$(field control "$(LC_ALL=C grep '^control=' "$log")")" "$WM_CLOSE" 0 0 >/dev/null
    probe wait-gone "$pin" --timeout 10000 >/dev/null || fail "the pin window stayed"
    screenshot "$name-gone"
    box=$(convert "$ARTIFACTS/$name.png" "$ARTIFACTS/$name-gone.png" -compose difference -composite \
        -colorspace gray -threshold 0 -format '%@' info:)
    IFS=, read -r tl tt _ _ <<<"$(info_of "$target" rect)"
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "$name: no picture found ($box)"
    echo "$((BASH_REMATCH[3] - tl)) $((BASH_REMATCH[4] - tt)) ${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
}

# Within a pixel of base times dpi / 96.
expect_scaled() {
    local got=$1 base=$2 dpi=$3 what=$4 want
    want=$(((base * dpi * 2 + 96) / 192))
    [ $((got - want)) -ge -1 ] && [ $((got - want)) -le 1 ] || fail "$what: $got, expected $want (+-1)"
}

declare -A BASE
for dpi in 96 120 144; do
    set_dpi "$dpi"
    start_exe "$TARGET" --title "DPI target" --rect 300,300,400,300
    TGT=$(field hwnd "$(wait_window --title "DPI target" --exe target.exe --visible --timeout 20000)")
    for size in 0 1; do
        read -r dx dy w h <<<"$(drawn_pin "$TGT" "$size" "pin$size-at-$dpi")"
        log "pin size $size at $dpi DPI: drawn ${w}x$h at $dx,$dy from the target's corner"
        if [ "$dpi" = 96 ]; then
            BASE[$size]="$dx $dy $w $h"
            continue
        fi
        read -r bx by bw bh <<<"${BASE[$size]}"
        expect_scaled "$dx" "$bx" "$dpi" "pin size $size at $dpi DPI: left offset"
        expect_scaled "$dy" "$by" "$dpi" "pin size $size at $dpi DPI: top offset"
        expect_scaled "$w" "$bw" "$dpi" "pin size $size at $dpi DPI: width"
        expect_scaled "$h" "$bh" "$dpi" "pin size $size at $dpi DPI: height"
    done
done

# --- the control panel at 144 DPI ---
TARGET_PATH="Z:${TARGET//\//\\}"
{
    printf '[SYSTEM]\r\nPINSIZE=1\r\nMOVEENABLE=0\r\nPNHOTKEY=90\r\nPNMODIFIERS=8\r\nPINNUM=2\r\n'
    printf '[PINITEM%s]\r\nTITLEFLAG=1\r\nPRECESSEFLAG=1\r\nFULLFLAG=1\r\nEXTENTFLAG=0\r\nTITLE=%s\r\nEXENAME=%s\r\nEXEPATH=%s\r\nZORDER=0\r\n' \
        0 "DPI target" TARGET.EXE "$TARGET_PATH" 1 "Desktop record" DESKTOP.EXE DESKTOP
} >"$WORKDIR/Clavora.ini"
clavora_start
read -r x y <<<"$(tray_icon_center)"
xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_until "[ \"\$(info_of $CLAVORA_MAIN visible)\" = 1 ]" 5000 || fail "the double click did not show the panel"
probe idle "$CLAVORA_MAIN" >/dev/null
summary=$(probe listview "$(child_of "$CLAVORA_MAIN" 1000)")
log "the panel's list at 144 DPI: $(head -n1 <<<"$summary")"
expect_eq "$(field rows "$summary"),$(field hscroll "$summary")" 2,0 "rows and horizontal scroll bar"
IFS=, read -r program title _ <<<"$(field widths "$summary")"
expect_eq "$program" 150 "the program column at 144 DPI"
[ "$title" -ge 150 ] || fail "the title column is $title pixels wide"
IFS=, read -r l t r b <<<"$(field icon "$(sed -n 2p <<<"$summary")")"
expect_eq "$((r - l))x$((b - t))" 24x24 "the row icon at 144 DPI"
screenshot panel-at-144

# --- the child selection at 144 DPI: its picture box and columns in proportion ---
probe post "$CLAVORA_MAIN" "$WM_KEYDOWN" "$VK_ESCAPE" 0
PIN=$(field hwnd "$(wait_pin "$TGT")") || fail "the record did not pin its window"
probe idle "$PIN" >/dev/null
open_conditions_from_pin "$PIN"
open_child_selection
expect_eq "$(field widths "$(probe listview "$LIST")")" 120,90,450,0,15 "the candidate columns at 144 DPI"
IFS=, read -r l t r b <<<"$(info_of "$CHILD" rect)"
[ "$l" -ge 0 ] && [ "$t" -ge 0 ] && [ "$r" -le 1280 ] && [ "$b" -le 1024 ] ||
    fail "the child selection at $l,$t,$r,$b does not lie whole on the screen"
screenshot child-selection-at-144
