# The resident main window: hidden after start, shown at the bottom-right of the work area by
# a double click on the tray icon, hidden again by Escape and the close box, the About box from
# its system menu, "メインパネル" and "終了" from the tray menu.
source "$E2E_DIR/clavora.sh"

main_visible() { field visible "$(probe info "$CLAVORA_MAIN")"; }

clavora_start
expect_eq "$(main_visible)" 0 "main window visible after start"

read -r x y <<<"$(tray_icon_center)"
xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_until "[ \"\$(main_visible)\" = 1 ]" 5000 || fail "a double click on the tray icon did not show the panel"
probe idle "$CLAVORA_MAIN" >/dev/null
rect=$(field rect "$(probe info "$CLAVORA_MAIN")")
work=$(field rect "$(probe desktop screen | LC_ALL=C grep 'kind=workarea')")
IFS=, read -r l t r b <<<"$rect"
IFS=, read -r wl wt wr wb <<<"$work"
log "main panel at $rect, work area $work"
expect_eq "$r,$b" "$wr,$wb" "main panel's bottom-right corner"
screenshot main-panel

# A second double click leaves it where it is.
xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
probe idle "$CLAVORA_MAIN" >/dev/null
expect_eq "$(field rect "$(probe info "$CLAVORA_MAIN")")" "$rect" "main panel after a second double click"

# The system menu's last item is the About box.
xdotool mousemove "$((l + 10))" "$((t + 10))" click 1
menu=$(probe wait-window --class '#32768' --visible --exe clavora.exe --timeout 5000) || fail "no system menu"
MENU_RECT=$(field rect "$menu")
screenshot system-menu
choose_menu_item last
about=$(probe wait-window --title Clavora --exe clavora.exe --visible --owner "$CLAVORA_MAIN" --timeout 5000) ||
    fail "no About box"
about_hwnd=$(field hwnd "$about")
probe idle "$about_hwnd" >/dev/null
expect_match "$(probe children "$about_hwnd")" $'id=1001\ttext=Clavora Ver\\.:1- 0- 1- 120\t' "About box version line"
screenshot about-box
probe post "$about_hwnd" "$WM_COMMAND" "$IDOK" 0
probe wait-gone "$about_hwnd" --timeout 5000 >/dev/null || fail "the About box did not close"

# Escape and the close box only hide the panel. The key is posted rather than typed: without
# a window manager, a hidden window that kept the X focus makes Wine cancel every later popup
# menu of the program at once, which no desktop with a window manager does.
probe post "$CLAVORA_MAIN" "$WM_KEYDOWN" "$VK_ESCAPE" 0
wait_until "[ \"\$(main_visible)\" = 0 ]" 5000 || fail "Escape did not hide the panel"
open_tray_menu
screenshot tray-menu
choose_menu_item first
wait_until "[ \"\$(main_visible)\" = 1 ]" 5000 || fail "メインパネル did not show the panel"
probe close "$CLAVORA_MAIN"
wait_until "[ \"\$(main_visible)\" = 0 ]" 5000 || fail "the close box did not hide the panel"
kill -0 "$CLAVORA_PID" || fail "Clavora ended on close"

open_tray_menu
choose_menu_item last
wait_clavora_gone
expect_eq "$(tray_icon_count)" 0 "tray icons after 終了"
[ -f "$WORKDIR/Clavora.ini" ] || fail "終了 wrote no Clavora.ini"
