# Clavora kept in a folder whose name the Japanese code page cannot write (도구): its
# Clavora.ini is read at start (a record pins its window), a record made with Win+Z reaches
# the file, no temporary file and no rescue copy are left, the About box reads the version
# from the program file, and 終了 leaves the file whole.
source "$E2E_DIR/reliability.sh"

WM_SYSCOMMAND=0x0112
IDM_ABOUTBOX=0x0010
IDC_VERSION=1001

CLAVORA_HOME="$WORKDIR/도구"
mkdir -p "$CLAVORA_HOME"
INI="$CLAVORA_HOME/Clavora.ini"
pin_record 0 "Folder kept" TGT_LEFT=120 TGT_TOP=140 TGT_RIGHT=420 TGT_BOTTOM=340 | pin_file 1 >"$INI"

start_target --title "Folder kept" --rect 120,140,300,200
clavora_start
wait_pin "$TARGET_HWND" 10000 >/dev/null || fail "the record in $INI pinned nothing: the file was not read"
kept=$TARGET_HWND

start_target --title "Folder new" --rect 500,200,300,200
press_pin_hotkey "$TARGET_HWND"
wait_pin "$TARGET_HWND" 8000 >/dev/null || fail "no pin after Win+Z"
wait_until "[ \"\$(ini_value PINNUM SYSTEM)\" = 2 ]" 8000 || fail "the new record never reached $INI"
expect_eq "$(ini_value TITLE PINITEM1)" "Folder new" "the record made with Win+Z"
wait_pin "$kept" 1000 >/dev/null || fail "the first pin went"
leftovers=$(cd "$CLAVORA_HOME" && ls -A | grep -v '^Clavora\.\(exe\|ini\)$' || true)
expect_eq "$leftovers" "" "files beside Clavora.ini"

# The version comes from the program file found by its own name, 도구 and all.
probe post "$CLAVORA_MAIN" "$WM_SYSCOMMAND" "$IDM_ABOUTBOX" 0
about=$(probe wait-window --title Clavora --exe clavora.exe --visible --owner "$CLAVORA_MAIN" --timeout 5000) ||
    fail "no About box"
about_hwnd=$(field hwnd "$about")
probe idle "$about_hwnd" >/dev/null
version=$(field text "$(child_line "$about_hwnd" "$IDC_VERSION")")
screenshot about-box
expect_match "$version" '^Clavora Ver\.:[0-9]' "About box version line"
probe post "$about_hwnd" "$WM_COMMAND" "$IDOK" 0
probe wait-gone "$about_hwnd" --timeout 5000 >/dev/null || fail "the About box did not close"

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone
why=$(pin_file_whole "$INI") || fail "Clavora.ini after 終了 is not whole: $why"
expect_eq "$(ini_value PINNUM SYSTEM)" 2 "records after 終了"
