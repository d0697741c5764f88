# Two monitors of different heights side by side: a pin dragged with the mouse towards every
# outer edge, across the seam and into the corner below the smaller monitor, which the screen
# has but no monitor shows, never takes its target off the monitors; the target's caption
# strip, as high as the pin, where its caption and its pin are taken hold of, stays on them
# whole, and the pin stays on the monitor that shows the target's corner. Then the second monitor is
# gone (the display set up again with one) and the place stored on it is not applied: the
# window is held where it is found, with its pin on the screen.
source "$E2E_DIR/reliability.sh"

PRIMARY=0,0,1280,1024
SECOND=1280,0,1024,768
# The pin window's size at 96 DPI: this much of the target's top edge stays on the monitors,
# with a strip this high below it.
GRIP=52
STRIP=62
HOLD_MS=1500

# How many pixels of the caption strip of L,T,R,B lie on the monitors HEADS, each with the
# strip's whole height.
top_edge_on() {
    local l t r b head x y w h piece on=0
    IFS=, read -r l t r b <<<"$1"
    for head in $HEADS; do
        IFS=, read -r x y w h <<<"$head"
        [ "$t" -ge "$y" ] && [ $((t + STRIP)) -le $((y + h)) ] || continue
        piece=$(((r < x + w ? r : x + w) - (l > x ? l : x)))
        on=$((on + (piece > 0 ? piece : 0)))
    done
    echo "$on"
}

# Where the pin of a target whose corner is at L,T stands: 20 px right of and 32 px above it,
# moved onto the monitor that shows the point above the corner, as far as it fits there.
pin_place() {
    local t=$2 px=$(($1 + 20)) py=$(($2 - 32)) head x y w h
    for head in $HEADS; do
        IFS=, read -r x y w h <<<"$head"
        [ "$px" -ge "$x" ] && [ "$px" -lt $((x + w)) ] && [ "$t" -ge "$y" ] && [ "$t" -lt $((y + h)) ] || continue
        [ $((px + GRIP)) -gt $((x + w)) ] && px=$((x + w - GRIP))
        [ "$py" -lt "$y" ] && py=$y
        break
    done
    echo "$px,$py"
}

# Drags the pin until the cursor is at X Y; the target must stay reachable and under its pin.
drag_and_check() {
    local x=$1 y=$2 what=$3 before rect pin tl tt
    before=$(info_of "$TGT" rect)
    drag_pin_to "$PIN" "$x" "$y"
    wait_until "[ \"\$(info_of $TGT rect)\" != $before ]" 3000 || fail "$what: the target did not move from $before"
    probe idle "$PIN" >/dev/null
    rect=$(info_of "$TGT" rect)
    pin=$(info_of "$PIN" rect)
    log "$what: target at $rect, pin at $pin"
    [ "$(top_edge_on "$rect")" -ge "$GRIP" ] || fail "$what: the target at $rect keeps $(top_edge_on "$rect") pixels of its top edge on the monitors"
    IFS=, read -r tl tt _ _ <<<"$rect"
    expect_eq "$(cut -d, -f1,2 <<<"$pin")" "$(pin_place "$tl" "$tt")" "$what: the pin on the target"
    TGT_RECT=$rect
}

# --- two monitors ---
HEADS="$PRIMARY $SECOND"
use_heads $HEADS
monitors=$(probe desktop screen | LC_ALL=C grep $'^kind=monitor\t')
expect_eq "$(field rect "$monitors"),$(field rect "$(sed -n 2p <<<"$monitors")")" \
    "0,0,1280,1024,1280,0,2304,768" "the monitors Wine reports"

pin_record 0 "Monitor target" | pin_file 1 MOVEENABLE=1 >"$WORKDIR/Clavora.ini"
start_target --title "Monitor target" --rect 400,300,300,200
TGT=$TARGET_HWND
clavora_start
PIN=$(field hwnd "$(wait_pin "$TGT")")
probe idle "$PIN" >/dev/null
screenshot pinned

# The cursor at an edge takes the pin's head there; the target hangs 20 pixels left of and 32
# below the pin's corner, so it would leave the desktop at the bottom.
drag_and_check 0 500 "to the left edge"
drag_and_check 300 0 "to the top edge"
drag_and_check 600 1023 "to the bottom edge"
expect_eq "$(cut -d, -f2 <<<"$TGT_RECT")" $((1024 - STRIP)) "the target's top at the bottom edge"
screenshot at-the-bottom
drag_and_check 1800 300 "across the seam"
drag_and_check 2303 300 "to the right edge"
drag_and_check 1800 1000 "below the second monitor"
expect_eq "$(cut -d, -f2 <<<"$TGT_RECT")" $((768 - STRIP)) "the target's top below the second monitor"
screenshot below-the-second
drag_and_check 1900 400 "back onto the second monitor"
STORED=$TGT_RECT
probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone
expect_eq "$(ini_value TGT_LEFT PINITEM0),$(ini_value TGT_TOP PINITEM0)" "$(cut -d, -f1,2 <<<"$STORED")" \
    "the place stored on the second monitor"

# --- the second monitor gone ---
HEADS=$PRIMARY
use_heads
expect_eq "$(probe desktop screen | LC_ALL=C grep -c $'^kind=monitor\t')" 1 "monitors after the second went"
start_target --title "Monitor target" --rect 400,300,300,200
TGT=$TARGET_HWND
FOUND=$(info_of "$TGT" rect)
clavora_start
PIN=$(field hwnd "$(wait_pin "$TGT")")
IFS=, read -r tl tt _ _ <<<"$FOUND"
expect_eq "$(cut -d, -f1,2 <<<"$(info_of "$PIN" rect)")" "$(pin_place "$tl" "$tt")" "the pin on the window where it was found"
if wait_until "[ \"\$(info_of $TGT rect)\" != $FOUND ]" "$HOLD_MS"; then
    fail "the target went from $FOUND to $(info_of "$TGT" rect), the place stored on the gone monitor"
fi
probe idle "$PIN" >/dev/null
screenshot one-monitor
