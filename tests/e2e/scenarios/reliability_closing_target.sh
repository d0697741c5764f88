# Targets that close while they are being pinned: windows that each close the moment
# Clavora starts a pin on them (as soon as their Z order is touched), so every pin start meets
# a window that is going, and the next cycle finds it gone. Clavora goes on, every pin window
# goes with its target, and what Clavora holds of the window system is what it held before.
source "$E2E_DIR/reliability.sh"

# Each window costs a second or two under Wine: opening it, a cycle to pin it, one to end the pin.
count=6
long_run && count=60
pin_record 0 "" TITLEFLAG=1 FULLFLAG=0 TIPART=Closing | pin_file 1 >"$WORKDIR/Clavora.ini"
clavora_start
clavora_wpid=$(field pid "$(probe info "$CLAVORA_MAIN")")
base_windows=$(field windows "$(probe objects "$clavora_wpid")")
objects_back() { [ "$(field windows "$(probe objects "$clavora_wpid")")" = "$base_windows" ]; }

# Closes count windows of one target program, each as its pin starts.
close_while_pinned() {
    start_target --title "Closing {n}" --count "$1" --close-on-pin --rect 60,80,300,200
    local log_file="$ARTIFACTS/target.$E2E_LOG_SEQ.log"
    wait_until "! kill -0 $TARGET_PID" $(($1 * 5000 + 5000)) ||
        fail "not every target was pinned and closed; Clavora: $(probe desktop answers "$CLAVORA_MAIN")"
    expect_eq "$(LC_ALL=C grep -c '^window=' "$log_file")" "$1" "windows the target opened"
    # One more cycle ends the last pin; then nothing of the targets may be left.
    wait_until objects_back 3000 || fail "pin windows were left: $(probe objects "$clavora_wpid")"
}

# The first pins load what every later one shares (pictures, caches): the count after them is
# the base.
close_while_pinned 2
before=$(probe objects "$clavora_wpid")
log "after the first pins: $before"
close_while_pinned "$count"
log "all $count windows were pinned and closed"
after=$(probe objects "$clavora_wpid")
log "after: $after"
gdi_before=$(field gdi "$before")
gdi_after=$(field gdi "$after")
# A few objects made once by a later pin are allowed for; one left by every pin is not.
[ "$gdi_after" -le $((gdi_before + 5)) ] || fail "GDI objects grew from $gdi_before to $gdi_after"
open_tray_menu
screenshot after-closing-targets
choose_menu_item first
wait_until "[ \"\$(field visible \"\$(probe info $CLAVORA_MAIN)\")\" = 1 ]" 5000 || fail "メインパネル did not show the panel"
hide_main_panel
