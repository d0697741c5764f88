# The session ends with 20 pins shown: Clavora.ini is on disk, whole and with every record,
# within the few seconds the system gives, however long the pins take to end. The time
# from WM_ENDSESSION to the file (and to the process's end) is logged for docs/RELIABILITY.md.
source "$E2E_DIR/reliability.sh"

WM_ENDSESSION=0x0016
ENDSESSION_LOGOFF=$((0x80000000))
PINS=20

INI="$CLAVORA_HOME/Clavora.ini"
for n in $(seq 1 "$PINS"); do pin_record $((n - 1)) "Ending $n"; done | pin_file "$PINS" >"$INI"
start_target --title "Ending {n}" --count "$PINS" --rect 40,60,260,160
clavora_start
pins_shown() { probe find --exe clavora.exe --visible | LC_ALL=C grep -vc $'\towner=0x0\t' || true; }
wait_until "[ \"\$(pins_shown)\" -ge $PINS ]" 30000 ||
    fail "not every window got its pin"

# Gone, so that only the ending's own write can bring it back.
rm "$INI"
overhead=$(probe_overhead)
t0=$(now_ms)
probe post "$CLAVORA_MAIN" "$WM_ENDSESSION" 1 "$ENDSESSION_LOGOFF"
wait_until "[ -s '$INI' ] && pin_file_whole '$INI'" 10000 || fail "no whole Clavora.ini after the session ended"
written=$(($(elapsed_since "$t0") - overhead))
wait_clavora_gone 15000
gone=$(($(elapsed_since "$t0") - overhead))
log "WM_ENDSESSION with $PINS pins: Clavora.ini whole after about $written ms, the process gone after about $gone ms"
expect_eq "$(ini_value PINNUM SYSTEM)" "$PINS" "records written at the end"
expect_eq "$(ini_value TITLE "PINITEM$((PINS - 1))")" "Ending $PINS" "the last record"
[ "$written" -lt 5000 ] || fail "the file took $written ms, more than the system waits"
