# "-D482" opens a console for the trace; without it (or with a look-alike argument) no
# console is opened.
source "$E2E_DIR/clavora.sh"

clavora_start -d482 -D4821
probe find --exe conhost.exe --visible >/dev/null && fail "a console opened without the debug switch"
probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone

clavora_start x -D482
console=$(probe wait-window --exe conhost.exe --class WineConsoleClass --visible --timeout 5000) ||
    fail "no console with -D482"
screenshot debug-console
log "console: $(field title "$console")"
