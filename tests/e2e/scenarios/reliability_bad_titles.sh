# Bad input where it enters, with the real window texts of Wine: titles of 255, 256, 259, 260
# and 2000 bytes in Shift-JIS (so a 255-byte cut falls inside a double-byte character), a title
# with CR LF, an empty title, and a child text of 600 bytes behind an extended condition. Each
# titled window is pinned with Win+Z (the empty one is refused), the file written at 終了 is
# whole with every value on its line, and after a restart every pin comes back but the one
# whose title had a line break (the file keeps that title with blanks).
source "$E2E_DIR/reliability.sh"

repeat() { local i out=""; for ((i = 0; i < $2; i++)); do out+=$1; done; printf '%s' "$out"; }
a=あ
child_text=$(repeat い 300)
{
    # The child's text as the cycle reads it: 510 bytes of the 600.
    pin_record 0 "Long child" EXTENTFLAG=1 EXTEXT="$(repeat い 255)" EXCLASS=Edit EXCTRLID=5
} | pin_file 1 >"$WORKDIR/Clavora.ini"

clavora_start
start_target --title "Long child" --rect 700,500,400,200 --ctrl Edit 5 "$child_text"
wait_pin "$TARGET_HWND" 8000 >/dev/null || fail "the record with a 510-byte child text did not pin"

# Each starts differently, so that their first 255 bytes differ too; a two-letter start puts
# the 255-byte cut inside a double-byte character.
declare -A titles=(
    [b255]="a$(repeat $a 127)"
    [b256]="bb$(repeat $a 127)"
    [b259]="c$(repeat $a 129)"
    [b260]="dd$(repeat $a 129)"
    [b2000]="ee$(repeat $a 999)"
    [crlf]=$'Line one\r\nLine two'
)
declare -A hwnds
x=40
for name in b255 b256 b259 b260 b2000 crlf; do
    start_target --title "${titles[$name]}" --rect "$x,120,300,200"
    hwnds[$name]=$TARGET_HWND
    x=$((x + 40))
    press_pin_hotkey "$TARGET_HWND"
    wait_pin "$TARGET_HWND" 5000 >/dev/null || fail "Win+Z did not pin the $name window"
done
screenshot long-titles-pinned

start_target --title "" --rect 600,300,300,200
press_pin_hotkey "$TARGET_HWND"
sleep 1.5
if wait_pin "$TARGET_HWND" 100 >/dev/null; then fail "the window without a title was pinned"; fi

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
# Seven pins end at exit, at once: a pin window that waited for a window manager (two seconds
# each under Wine without one) would hold the exit far beyond the deadline.
wait_clavora_gone
INI="$WORKDIR/Clavora.ini"
why=$(pin_file_whole "$INI") || fail "Clavora.ini is not whole: $why"
expect_eq "$(ini_value PINNUM SYSTEM)" 7 "PINNUM"
# Each record holds exactly the bytes the cycle reads: the first 255 of the title.
n=1
for name in b255 b256 b259 b260 b2000 crlf; do
    read_hex=$(field titlehex "$(probe desktop window "${hwnds[$name]}")")
    saved_hex=$(printf "%s" "$(ini_value TITLE "PINITEM$n")" | od -An -tx1 -v | tr -d " \n")
    if [ "$name" = crlf ]; then
        expect_eq "$saved_hex" "$(printf 'Line one  Line two' | od -An -tx1 -v | tr -d ' \n')" "the CR LF title in the file"
    else
        expect_eq "$saved_hex" "$read_hex" "the $name title in the file"
    fi
    log "$name: $((${#saved_hex} / 2)) bytes kept, ending in ${saved_hex: -4}"
    n=$((n + 1))
done

clavora_start
for name in b255 b256 b259 b260 b2000; do
    wait_pin "${hwnds[$name]}" 8000 >/dev/null || fail "the $name window was not pinned again after the restart"
done
sleep 1.5
if wait_pin "${hwnds[crlf]}" 100 >/dev/null; then fail "the CR LF title matched its record with blanks"; fi
screenshot after-restart
