# Titles that the Japanese code page cannot write: two targets whose titles the ANSI calls
# both read as "?? - PuTTY ??". Win+Z over the lower one makes its record; the file keeps the
# title whole (UTF-8 with a byte-order mark); after a restart the record pins that window and
# not the other, which now lies above it; the match condition dialog shows the title whole and
# hands it back whole as the title part; the panel lists the title whole.
source "$E2E_DIR/reliability.sh"

TOOL="도구 - PuTTY 😀"
DOC="문서 - PuTTY 😀"
BOM=$'\xEF\xBB\xBF'
IDC_CHECK_FULL=1015
IDC_EDIT_TITLE_PART=1016

start_target --title "$TOOL" --rect 120,160,360,220
tool=$TARGET_HWND
start_target --title "$DOC" --rect 560,160,360,220
doc=$TARGET_HWND
expect_eq "$(field title "$(probe desktop window "$tool")")" "$TOOL" "the title as Clavora reads it"

clavora_start
# Started before Clavora, the window is made the foreground window first, as a click would.
focus_window "$tool"
xdotool key super+z
wait_pin "$tool" 8000 >/dev/null || fail "no pin after Win+Z"
expect_eq "$(pin_count_of "$doc")" 0 "pins on the other Korean title"

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone
head -c 3 "$CLAVORA_HOME/Clavora.ini" | cmp -s - <(printf '%s' "$BOM") ||
    fail "Clavora.ini does not start with the UTF-8 byte-order mark"
expect_eq "$(ini_value TITLE PINITEM0)" "$TOOL" "the title in Clavora.ini"
why=$(pin_file_whole "$CLAVORA_HOME/Clavora.ini") || fail "Clavora.ini is not whole: $why"

# The other window on top: the first window whose ANSI title matched would be this one.
focus_window "$doc"
clavora_start
wait_pin "$tool" 10000 >/dev/null || fail "after the restart the record pinned nothing"
sleep 1
expect_eq "$(pin_count_of "$doc")" 0 "pins on the other Korean title after the restart"
expect_eq "$(pin_count_of "$tool")" 1 "pins on the window the record was made from"

# 完全一致 off: the part starts as the whole title, and OK keeps it as the record's part.
open_conditions_from_pin "$(field hwnd "$(wait_pin "$tool")")"
click_control "$MATCH" "$IDC_CHECK_FULL"
wait_until "[ \"\$(checked $MATCH $IDC_CHECK_FULL)\" = 0 ]" 3000 || fail "完全一致 was not cleared"
expect_eq "$(field text "$(child_line "$MATCH" "$IDC_EDIT_TITLE_PART")")" "$TOOL" "the title part in the dialog"
screenshot titles-outside-code-page-conditions
click_control "$MATCH" "$IDOK"
probe wait-gone "$MATCH" --timeout 5000 >/dev/null || fail "OK did not close the match condition dialog"
wait_until "[ \"\$(ini_value TIPART PINITEM0)\" = \"$TOOL\" ]" 5000 || fail "the title part did not reach Clavora.ini whole"
wait_pin "$tool" 5000 >/dev/null || fail "the record of the title part pinned nothing"
expect_eq "$(pin_count_of "$doc")" 0 "pins on the other Korean title by the title part"

open_tray_menu
choose_menu_item first
wait_until "[ \"\$(field visible \"\$(probe info "$CLAVORA_MAIN")\")\" = 1 ]" 5000 ||
    fail "メインパネル did not show the panel"
probe idle "$CLAVORA_MAIN" >/dev/null
LIST=$(child_of "$CLAVORA_MAIN" 1000)
rows=$(probe listview "$LIST" | tail -n +2)
expect_eq "$(field text1 "$rows")" "$TOOL" "the panel's title column"
screenshot titles-outside-code-page

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone
expect_eq "$(ini_value TITLE PINITEM0)" "$TOOL" "the title in Clavora.ini after the second run"
