# The real desktop seam (CWin32Desktop) and the child window record against a real desktop:
# Wine's notepad and the target program, read through "probe desktop ...".
# Sourced by run-scenario.sh, which provides the functions of lib.sh.

title="ピン留めテスト"
start_exe notepad
start_exe "$TARGET" --title "$title" --rect 640,40,420,420 \
    --ctrl Button 1001 "OK" \
    --ctrl Edit 1002 "hidden text" --hidden \
    --ctrl Button 1006 "Disabled" --disabled \
    --ctrl Edit 1007 "" \
    --group Button 1003 "Group" --ctrl Static 1004 "inner" --end \
    --ctrl Static 1005 "Same" \
    --ctrl Static 1005 "Same2" \
    --ctrl Static 1008 "日本語"
start_exe "$TARGET" --title "Layered {n}" --count 2 --layered 200 --rect 700,560,320,160
korean="도구 - PuTTY 😀"
start_exe "$TARGET" --title "$korean" --rect 40,560,300,160 --ctrl Edit 1001 "문서 😀"

notepad=$(field hwnd "$(wait_window --class Notepad --visible --timeout 30000)")
probe move "$notepad" 0 0 620 520
target=$(field hwnd "$(wait_window --title "$title" --visible --timeout 20000)")
layered1=$(field hwnd "$(wait_window --title "Layered 1" --visible --timeout 20000)")
layered2=$(field hwnd "$(wait_window --title "Layered 2" --visible --timeout 20000)")

log "process names and titles"
seen=$(probe desktop window "$notepad")
expect_eq "$(field basename "$seen")" "notepad.exe" "notepad's base name"
expect_eq "$(field upper "$seen")" "NOTEPAD.EXE" "notepad's base name in upper case"
expect_match "$(field imagepath "$seen")" '\\notepad\.exe$' "notepad's image path"
expect_eq "$(field titlehex "$seen")" "$(ansi_hex "$(field title "$(probe info "$notepad")")")" \
    "notepad's title in the ANSI code page"

seen=$(probe desktop window "$target")
expect_eq "$(field basename "$seen")" "target.exe" "target's base name"
expect_match "$(field imagepath "$seen")" '\\target\.exe$' "target's image path"
expect_eq "$(field titlehex "$seen")" "$(ansi_hex "$title")" "Japanese title in Shift-JIS"
expect_eq "$(field title "$seen")" "$title" "Japanese title read back"
expect_eq "$(field onmonitor "$seen")" "1" "target lies on a monitor"
expect_eq "$(field titlehex "$(probe desktop window "$layered1" 4)")" "$(ansi_hex "Lay")" \
    "title read into a 4-byte buffer"
# Outside the code page a title is read wide and kept as UTF-8 behind its mark, never as '?'.
hangul=$(field hwnd "$(wait_window --title "$korean" --visible --timeout 20000)")
seen=$(probe desktop window "$hangul")
expect_eq "$(field title "$seen")" "$korean" "Korean title with an emoji read back"
expect_match "$(field titlehex "$seen")" '^efbbbf' "Korean title kept as marked UTF-8"
expect_eq "$(field title "$(probe desktop window "$hangul" 5)")" "도구 -" "Korean title read into a 5-character buffer"
expect_eq "$(field text "$(probe desktop control-text "$(child_of "$hangul" 1001)")")" "문서 😀" \
    "Korean child text read back"

gone=$(field pid "$(probe pid)")
seen=$(probe desktop process "$gone")
expect_eq "$(field basename "$seen")|$(field imagepath "$seen")|$(field running "$seen")" "||0" \
    "names of a process that has ended, and whether it runs"
expect_eq "$(field running "$(probe desktop window "$notepad")")" 1 "notepad held open, running"

log "child windows"
# class|id|visible|enabled|text (hex) of each line
summary() {
    local line
    while IFS= read -r line; do
        printf '%s|%s|%s|%s|%s\n' "$(field class "$line")" "$(field id "$line")" "$(field visible "$line")" \
            "$(field enabled "$line")" "$(field texthex "$line")"
    done
}
hex() { ansi_hex "$1"; }
expect_eq "$(probe desktop descendants "$target" | summary)" "Button|1001|1|1|$(hex OK)
Edit|1002|0|1|$(hex "hidden text")
Button|1006|1|0|$(hex Disabled)
Edit|1007|1|1|
Button|1003|1|1|$(hex Group)
Static|1004|1|1|$(hex inner)
Static|1005|1|1|$(hex Same)
Static|1005|1|1|$(hex Same2)
Static|1008|1|1|$(hex 日本語)" "every descendant in walk order"

# The recording rule: hidden, disabled and empty children are left out; the grandchild in
# the group stays, in walk order.
expect_eq "$(probe desktop children "$target" | summary)" "Button|1001|||$(hex OK)
Button|1003|||$(hex Group)
Static|1004|||$(hex inner)
Static|1005|||$(hex Same)
Static|1005|||$(hex Same2)
Static|1008|||$(hex 日本語)" "recorded children"
expect_eq "$(field count "$(probe desktop pair "$target" Static 1005)")" "2" "two children share Static/1005"
expect_eq "$(field count "$(probe desktop pair "$target" Static 1004)")" "1" "the grandchild's pair is unique"
expect_eq "$(field count "$(probe desktop pair "$target" STATIC 1005)")" "0" "class names compare exactly"
expect_eq "$(field count "$(probe desktop pair "$target" Edit 1002)")" "0" "a hidden child is not recorded"

log "a program that does not answer"
button=$(field hwnd "$(probe desktop descendants "$target")")
hang_message=0x8001 # the target's WM_APP + 1: sleep wParam milliseconds
probe post "$target" "$hang_message" 3000 0
seen=$(probe desktop control-text "$button" || true)
expect_eq "$(field answered "$seen")" "0" "text of a hung child"
[ "$(field ms "$seen")" -lt 2000 ] || fail "waited $(field ms "$seen") ms for a hung child"
wait_until "probe desktop control-text $button" 10000 || fail "the target did not come back"

log "screen, keys and hotkeys"
screen=$(probe desktop screen)
monitor=$(printf '%s\n' "$screen" | grep $'kind=monitor\t')
expect_eq "$(printf '%s\n' "$monitor" | wc -l)" "1" "one monitor"
expect_eq "$(field rect "$monitor")|$(field flags "$monitor")" "0,0,1280,1024|1" "the primary monitor"
expect_eq "$(field rect "$(printf '%s\n' "$screen" | grep 'kind=desktop')")" "0,0,1280,1024" "desktop rectangle"
expect_eq "$(field onmonitor "$(probe desktop onmonitor 1270 1014 1300 1050)")" "1" "a rectangle partly on screen"
expect_eq "$(field onmonitor "$(probe desktop onmonitor -32000 -32000 -31840 -31970)")" "0" \
    "a minimised window's parking place"
expect_eq "$(field name "$(probe desktop keyname 0x5A)")" "Z" "name of the Z key"
seen=$(probe desktop hotkey 8 0x5A)
expect_eq "$(field registered "$seen")|$(field again "$seen")|$(field againerror "$seen")" "1|0|1409" \
    "Win+Z registered once, refused the second time"

log "layering, Z order and moves on other programs' windows"
seen=$(probe desktop layered "$layered1")
expect_eq "$(field alpha "$seen")|$(field lwaflags "$seen")" "200|0x2" "a program's own layering"
expect_eq "$(field layered "$(probe desktop layered "$notepad")")" "none" "notepad is not layered"
notepad_ex=$(field exstyle "$(probe info "$notepad")")
probe desktop set-exstyle "$notepad" $((notepad_ex | 0x80000))
probe desktop set-layered "$notepad" 0xffffff 178 2 >/dev/null
seen=$(probe info "$notepad")
expect_eq "$(field layered "$seen")|$(field alpha "$seen")" "yes|178" "notepad made translucent"
probe desktop set-exstyle "$notepad" "$notepad_ex"
expect_eq "$(field layered "$(probe info "$notepad")")" "none" "notepad's own style back"

probe desktop topmost "$layered1" 1
expect_eq "$(field topmost "$(probe info "$layered1")")" "1" "into the topmost band"
probe desktop topmost "$layered1" 0
expect_eq "$(field topmost "$(probe info "$layered1")")" "0" "out of the topmost band"
probe desktop move "$layered2" 900 700 1200 860
expect_eq "$(field rect "$(probe info "$layered2")")" "900,700,1200,860" "moved and sized"
# Asked twice, by two probe runs: on a busy machine Wine may hand the foreground on (or have
# none for a moment) in between, so the two answers are waited on to agree.
same_foreground() { [ "$(field hwnd "$(probe desktop foreground)")" = "$(field hwnd "$(probe foreground)")" ]; }
wait_until same_foreground 5000 ||
    fail "foreground window: $(probe desktop foreground || true) against $(probe foreground || true)"

log "message boxes"
WM_COMMAND=0x111
IDOK=1
IDYES=6
# Shows a message box from a probe in the background, presses one of its buttons and sets
# box_answer to what the seam gave back; the box's controls are kept in $ARTIFACTS/box-BUTTON.txt.
answer_box() {
    local caption=$1 button=$2 box output
    shift 2
    start_exe "$PROBE" desktop "$@"
    output="$ARTIFACTS/probe.$E2E_LOG_SEQ.log"
    box=$(field hwnd "$(wait_window --class "#32770" --title "$caption" --timeout 10000)")
    probe children "$box" >"$ARTIFACTS/box-$button.txt"
    probe post "$box" "$WM_COMMAND" "$button" 0
    wait_until "grep -q answer= '$output'" 10000 || fail "the message box \"$caption\" gave no answer"
    box_answer=$(field answer "$(cat "$output")")
}
# The program's own box is captioned with the program file's name, here the probe's.
answer_box probe "$IDYES" appmessagebox "画鋲を抜きますか？" yesno
expect_eq "$box_answer" "yes" "the program's Yes/No box answers yes"
expect_match "$(cat "$ARTIFACTS/box-$IDYES.txt")" $'text=画鋲を抜きますか？\t' "the question's text"
answer_box "重複操作" "$IDOK" messagebox "既に画鋲がささっています." "重複操作" ok none
expect_eq "$box_answer" "ok" "a captioned OK box answers ok"

probe idle "$target"
probe idle "$notepad"
screenshot notepad-and-target
