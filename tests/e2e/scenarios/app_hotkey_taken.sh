# Win+Z held by another program before Clavora starts, as Windows 10 and 11 hold it: start-up
# waits on nobody (the tray icon comes and a saved record is pinned with no box to close),
# Clavora pins with Ctrl+Win+Z instead, says so in a balloon from the tray icon and keeps that
# in Clavora.ini. Two windows with one title: the saved record takes the first, the keys over
# the second pin the second, and pressing them twice makes one record.
source "$E2E_DIR/clavora.sh"

TARGET_PATH="Z:${TARGET//\//\\}"
printf '[SYSTEM]\r\nPINNUM=1\r\n[PINITEM0]\r\nTITLEFLAG=1\r\nPRECESSEFLAG=1\r\nFULLFLAG=1\r\nEXTENTFLAG=0\r\nTITLE=Twin\r\nEXENAME=TARGET.EXE\r\nEXEPATH=%s\r\nZORDER=1\r\n' \
    "$TARGET_PATH" >"$WORKDIR/Clavora.ini"

# Its windows are listed once the key is held.
start_twin() {
    start_exe "$TARGET" --title Twin "$@"
    local log="$ARTIFACTS/target.$E2E_LOG_SEQ.log"
    wait_until "LC_ALL=C grep -q '^window=1' '$log'" 30000 || fail "target did not open: $(cat "$log")"
    field hwnd "$(LC_ALL=C grep '^window=1' "$log")"
}
# In the topmost band (where its record's pin keeps it), the holder comes first in every
# enumeration, whatever has the focus.
HOLDER=$(start_twin --topmost --hold-hotkey 8 90 --rect 100,150,400,300)
OTHER=$(start_twin --rect 600,150,400,300)
probe idle "$OTHER" >/dev/null

clavora_start
PIN_HOLDER=$(field hwnd "$(wait_pin "$HOLDER" 10000)") || fail "the saved record was not pinned"
# Pins have no title; a box has its caption.
boxes=$({ probe find --class '#32770' --exe clavora.exe --visible || true; } |
    LC_ALL=C grep -vc $'\ttitle=\t' || true)
expect_eq "$boxes" 0 "boxes of Clavora's at start-up"
wait_until "[ \"\$(ini_value PNMODIFIERS SYSTEM)\" = 10 ]" 5000 || fail "PNMODIFIERS=10 was not saved"
expect_eq "$(ini_value PNHOTKEY SYSTEM)" 90 "PNHOTKEY"
# The notice is the tray icon's balloon, which Wine's tray shows as a tooltip of its own.
probe wait-window --class tooltips_class32 --exe explorer.exe --visible --timeout 10000 >/dev/null ||
    fail "no balloon from the tray icon"
screenshot hotkey-taken

# Twice before a cycle can have pinned it: one record, one notice.
focus_window "$OTHER"
xdotool key ctrl+super+z ctrl+super+z
wait_pin "$OTHER" 5000 >/dev/null || fail "Ctrl+Win+Z did not pin the window it was pressed over"
notice=$(probe wait-window --title "重複操作" --exe clavora.exe --visible --timeout 5000) ||
    fail "no notice for the second press"
probe post "$(field hwnd "$notice")" "$WM_COMMAND" "$IDOK" 0
probe wait-gone "$(field hwnd "$notice")" --timeout 5000 >/dev/null || fail "the notice did not close"
expect_eq "$(pin_count_of "$OTHER")" 1 "pins on the window pressed over"
expect_eq "$(pin_count_of "$HOLDER")" 1 "pins on its twin"
probe info "$PIN_HOLDER" >/dev/null || fail "the twin's pin went"
# Where the focus goes once the notice closes is Wine's choice (its tray window, at times); the
# pin itself must not have handed it to the twin.
[ "$(field hwnd "$(probe foreground)")" != "$HOLDER" ] || fail "the twin was activated"

open_tray_menu
choose_menu_item last
wait_clavora_gone
expect_eq "$(ini_value PINNUM SYSTEM)" 2 "PINNUM"
expect_eq "$(ini_value PNMODIFIERS SYSTEM)" 10 "PNMODIFIERS at exit"
