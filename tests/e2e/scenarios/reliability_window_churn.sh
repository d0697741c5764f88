# Many windows opening and closing while rules match some of them: target windows that live a
# few seconds each and are replaced at once, titled "Churn N [slot S]" with S = N mod 20, and
# ten records that each match one slot. Clavora must not crash or freeze, every pin window
# must sit on a window of its own (no two pins on one window, never more pins than records),
# and once the windows are gone no pin window is left and Clavora holds as many GDI objects
# and windows as before. Short: 20 windows for 20 s; CLAVORA_LONG=1: 200 windows for 5 minutes.
# The first pins make what later ones share (a few GDI objects, not always all in the warm-up):
# five are allowed for; a leak of one a pin shows far beyond that.
source "$E2E_DIR/reliability.sh"

windows=20
seconds=20
lifetime=8000
records=5
allowance=5
if long_run; then
    windows=200
    seconds=300
    lifetime=20000
    records=10
fi
for slot in $(seq 0 $((records - 1))); do
    pin_record "$slot" "" TITLEFLAG=1 FULLFLAG=0 TIPART="[slot $slot]"
done | pin_file "$records" >"$WORKDIR/Clavora.ini"

clavora_start
clavora_wpid=$(field pid "$(probe info "$CLAVORA_MAIN")")
base_windows=$(field windows "$(probe objects "$clavora_wpid")")
pins_gone() { [ "$(field windows "$(probe objects "$clavora_wpid")")" = "$base_windows" ]; }

churn() {
    start_target --title "Churn {n} [slot {s}]" --slots 20 --count "$windows" --churn "$lifetime" --rect 40,60,300,200
}
# All windows go at once, and their pins within a few cycles: a pin window that waits for a
# window manager as it goes (two seconds each under Wine without one) misses the deadline.
end_churn() {
    { kill -KILL "$TARGET_PID" && wait "$TARGET_PID"; } 2>/dev/null || true
    local t0
    t0=$(now_ms)
    wait_until pins_gone 5000 || fail "pin windows outlived their targets: $(probe objects "$clavora_wpid")"
    log "the pins of the closed windows were gone after $(elapsed_since "$t0") ms"
}

# Pin windows of Clavora: its top-level dialogs that have an owner.
pin_owners() {
    { probe find --exe clavora.exe --class '#32770' || true; } | { LC_ALL=C grep -v $'\towner=0x0\t' || true; } |
        field_all owner
}
field_all() { local line; while IFS= read -r line; do field "$1" "$line"; echo; done; }

# A warm-up round loads what every pin shares; the counts after it are the base.
churn
sleep 8
end_churn
before=$(probe objects "$clavora_wpid")
log "before: $before"

churn
started=$(now_ms)
checks=0
most=0
while [ "$(elapsed_since "$started")" -lt $((seconds * 1000)) ]; do
    kill -0 "$CLAVORA_PID" || fail "Clavora ended"
    wait_until "[ \"\$(field answers \"\$(probe desktop answers $CLAVORA_MAIN)\")\" = 1 ]" 5000 ||
        fail "Clavora did not answer for 5 s"
    owners=$(pin_owners)
    shown=$(printf '%s\n' "$owners" | LC_ALL=C grep -c . || true)
    distinct=$(printf '%s\n' "$owners" | LC_ALL=C grep . | sort -u | wc -l || true)
    [ "$shown" -le "$records" ] || fail "$shown pin windows for $records records"
    expect_eq "$distinct" "$shown" "pin windows with an owner of their own"
    [ "$shown" -gt "$most" ] && most=$shown
    checks=$((checks + 1))
    [ "$checks" = 3 ] && screenshot churning
    sleep 2
done
log "$checks checks, at most $most pins at once"
[ "$most" -ge 1 ] || fail "nothing was pinned while the windows came and went"
end_churn
after=$(probe objects "$clavora_wpid")
log "after: $after"
gdi_before=$(field gdi "$before")
gdi_after=$(field gdi "$after")
[ "$gdi_after" -le $((gdi_before + allowance)) ] || fail "GDI objects grew from $gdi_before to $gdi_after"

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone 20000
expect_eq "$(ini_value PINNUM SYSTEM)" "$records" "PINNUM after 終了"
