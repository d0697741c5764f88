# The release package as a user gets it: made by the "package" target, unpacked into a fresh
# folder, a small exe without its debug information (which stays readable beside the zip),
# importing only system DLLs, with the version of res/Version.h; started from that folder under
# Wine it pins notepad with Win+Z and keeps its Clavora.ini there.
source "$E2E_DIR/clavora.sh"

MINGW=x86_64-w64-mingw32
MAX_EXE_BYTES=$((1024 * 1024))
# Windows' own DLLs as Windows 7 has them, in the case the linker writes them: anything newer
# must be bound at run time, or the exe would not start there.
SYSTEM_DLLS="ADVAPI32.dll COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll SHELL32.dll USER32.dll VERSION.dll"
WM_SYSCOMMAND=0x0112
IDM_ABOUTBOX=16
IDC_VERSION=1001
IDC_HOMEPAGE_LINK=1027

product_version=$(sed -n 's/^#define CLAVORA_PRODUCT_VERSION "\(.*\)"$/\1/p' "$E2E_DIR/../../res/Version.h")
name="Clavora-${product_version//, /.}-win64"
cmake --build "$CLAVORA_WIN64_DIR" --target package >"$ARTIFACTS/cpack.log" 2>&1 || fail "the package target failed"
zip="$CLAVORA_WIN64_DIR/package/$name.zip"
debug="$CLAVORA_WIN64_DIR/package/$name.debug"
[ -f "$zip" ] || fail "no $zip"

CLAVORA_HOME="$WORKDIR/Clavora"
python3 -m zipfile -e "$zip" "$CLAVORA_HOME"
expect_eq "$(ls "$CLAVORA_HOME" | paste -sd' ')" "Clavora.exe LICENSE.txt README.txt guide.html" "the package's files"
exe="$CLAVORA_HOME/Clavora.exe"

# --- the exe: small, stripped, its debug information readable beside the package ---

size=$(stat -c %s "$exe")
log "Clavora.exe: $size bytes"
[ "$size" -lt "$MAX_EXE_BYTES" ] || fail "Clavora.exe has $size bytes"
if "$MINGW-objdump" -h "$exe" | grep -q '\.debug_'; then fail "Clavora.exe carries debug sections"; fi
# Found beside the package only when the name and the checksum the exe carries match.
link=$(cd "$(dirname "$debug")" && "$MINGW-objdump" --dwarf=links "$exe" 2>&1 | sed -n 's/^.*Found separate debug info file: //p')
expect_eq "$link" "$name.debug" "the debug file the exe links to"
winmain=$("$MINGW-nm" "$debug" | awk '$3 == "WinMain" { print "0x" $1 }')
expect_match "$("$MINGW-addr2line" -e "$debug" "$winmain")" 'src/app/win32/Main\.cpp:[0-9]+$' "WinMain's line"

imports=$("$MINGW-objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p')
for dll in $imports; do
    [[ " $SYSTEM_DLLS " == *" $dll "* ]] || fail "Clavora.exe imports $dll"
done

# --- under Wine, from the unpacked folder ---

# Wine's shell traces what ShellExecute is asked to open.
WINEDEBUG=-all,trace+exec start_exe "$exe"
CLAVORA_PID=$LAST_PID
clavora_log="$ARTIFACTS/Clavora.$E2E_LOG_SEQ.log"
CLAVORA_MAIN=$(field hwnd "$(wait_window --exe clavora.exe --class '#32770' --title Clavora --timeout 20000)")
wait_until "[ \"\$(tray_icon_count)\" -ge 1 ]" 10000 || fail "no tray icon"

# The About box reads the version resource.
probe post "$CLAVORA_MAIN" "$WM_SYSCOMMAND" "$IDM_ABOUTBOX" 0
about=$(field hwnd "$(wait_window --title Clavora --exe clavora.exe --visible --owner "$CLAVORA_MAIN" --timeout 5000)")
expect_eq "$(field text "$(child_line "$about" "$IDC_VERSION")")" "Clavora Ver.:${product_version//,/-}" "the version line"
# Its link opens the guide that came with it.
click_control "$about" "$IDC_HOMEPAGE_LINK"
wait_until "LC_ALL=C grep -aF 'trace:exec:SHELL_execute mask' '$clavora_log' | grep -qF '\\\\Clavora\\\\guide.html\"'" 5000 ||
    fail "the About box's link did not open the guide beside the exe"
probe post "$about" "$WM_COMMAND" "$IDOK" 0
probe wait-gone "$about" --timeout 5000 >/dev/null || fail "the About box did not close"

start_notepad
press_pin_hotkey "$NOTEPAD"
wait_pin "$NOTEPAD" 5000 >/dev/null || fail "Win+Z did not pin notepad"
screenshot pinned

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone
expect_eq "$(ini_value EXENAME PINITEM0)" NOTEPAD.EXE "the record in Clavora.ini beside the exe"
