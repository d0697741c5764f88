# "-D482" opens a console for the trace; without it (or with a look-alike argument) no
# console is opened. Closing the console with its close box ends Clavora as a logoff does:
# the pinned window gets its Z order and opacity back and Clavora.ini is written.
source "$E2E_DIR/reliability.sh"

clavora_start -d482 -D4821
probe find --exe conhost.exe --visible >/dev/null && fail "a console opened without the debug switch"
probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone

# A record of a topmost, half transparent pin, without the target's rectangle.
pin_record 0 "Console A" ZORDER=1 TRSPF=1 TRANS=50 | pin_file 1 >"$CLAVORA_HOME/Clavora.ini"
start_target --title "Console A" --rect 200,200,420,300
clavora_start x -D482
console=$(probe wait-window --exe conhost.exe --class WineConsoleClass --visible --timeout 5000) ||
    fail "no console with -D482"
wait_pin "$TARGET_HWND" 10000 >/dev/null || fail "the record's window was not pinned"
wait_until "[ \"\$(info_of $TARGET_HWND alpha)\" = 127 ]" 3000 || fail "the target did not become 50 % opaque"
screenshot debug-console
log "console: $(field title "$console")"

# The close box sends WM_CLOSE.
probe close "$(field hwnd "$console")" >/dev/null
wait_clavora_gone 10000
expect_eq "$(info_of "$TARGET_HWND" topmost),$(info_of "$TARGET_HWND" layered)" "0,none" \
    "the target's Z order and layering after the console was closed"
expect_eq "$(ini_value TGT_LEFT PINITEM0),$(ini_value TGT_TOP PINITEM0)" "200,200" \
    "the target's rectangle in Clavora.ini"
