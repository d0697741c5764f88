# A second start of Clavora shows the duplicate-start box and ends after OK; the first
# instance keeps running with its tray icon.
source "$E2E_DIR/clavora.sh"

clavora_start
first_pid=$CLAVORA_PID

start_exe "$WORKDIR/Clavora.exe"
second_pid=$LAST_PID
box=$(probe wait-window --title "２重起動" --exe clavora.exe --visible --timeout 20000) ||
    fail "no duplicate-start box"
box_hwnd=$(field hwnd "$box")
probe idle "$box_hwnd" >/dev/null
expect_match "$(probe children "$box_hwnd")" "text=     Clavoraは既に起動されています\.     " "duplicate-start text"
screenshot duplicate-start
expect_eq "$(probe find --title "２重起動" --exe clavora.exe | wc -l)" 1 "duplicate-start boxes"

probe post "$box_hwnd" "$WM_COMMAND" "$IDOK" 0
wait_until "! kill -0 $second_pid" 10000 || fail "the second instance did not end after OK"

kill -0 "$first_pid" || fail "the first instance ended"
expect_eq "$(probe find --exe clavora.exe --class '#32770' --title Clavora | field hwnd)" "$CLAVORA_MAIN" \
    "first instance's main window"
expect_eq "$(tray_icon_count)" 1 "tray icons"
