# Clavora killed while it saves, again and again: the pinned window changes its title every
# 700 ms, so its pin ends and a save of a large file (megabytes) follows every second or two. Each round starts Clavora, kills it (SIGKILL) either the moment its
# temporary file appears (inside a save) or after a random wait, and checks that Clavora.ini is
# whole: either the file from before or a complete new one, never a part. CLAVORA_LONG=1 runs
# 30 rounds instead of 4.
source "$E2E_DIR/reliability.sh"

INI="$WORKDIR/Clavora.ini"
# A few hundred records with every string near its longest: megabytes to write on each save.
records=300
long=$(printf 'y%.0s' $(seq 1 2000))
{
    pin_record 0 "Flip A"
    for n in $(seq 1 $((records - 1))); do
        pin_record "$n" "Never $n $long" EXEPATH="C:\\$long" EXTEXT="$long" TIPART="$long" EXPART="$long"
    done
} | pin_file "$records" >"$INI"
log "Clavora.ini of $(stat -c %s "$INI") bytes"

start_target --title "Flip A" --retitle 700 "Flip B" --rect 150,150,400,300

# A save lasts a fraction of a second: the temporary file is watched closely.
wait_for_temp() {
    local end=$((SECONDS + $1))
    until [ -e "$INI.tmp" ]; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.002
    done
}

rounds=4
long_run && rounds=30
caught=0
for round in $(seq 1 "$rounds"); do
    cp "$INI" "$WORKDIR/before.ini"
    # A temporary file left by the last kill would hide whether this one came inside a save.
    rm -f "$INI.tmp"
    clavora_start
    if [ $((round % 2)) = 1 ]; then
        # Into a save: the temporary file is there while the file is written.
        wait_for_temp 15 || fail "round $round: no save began"
        how="inside a save"
    else
        sleep "$((RANDOM % 4)).$(printf '%03d' $((RANDOM % 1000)))"
        how="at a random moment"
    fi
    { kill -KILL "$CLAVORA_PID" && wait "$CLAVORA_PID"; } 2>/dev/null || true
    if [ -e "$INI.tmp" ]; then caught=$((caught + 1)); fi
    why=$(pin_file_whole "$INI") || fail "round $round, killed $how: Clavora.ini is not whole: $why"
    if cmp -s "$INI" "$WORKDIR/before.ini"; then state=old; else state=new; fi
    expect_eq "$(ini_value PINNUM SYSTEM)" "$records" "round $round: PINNUM"
    log "round $round: killed $how, the file is whole ($state), temporary left: $([ -e "$INI.tmp" ] && echo yes || echo no)"
done
log "$caught of $rounds kills came while a save was being written"
[ "$caught" -ge 1 ] || fail "no kill came inside a save"

# A clean run after all that: it reads the file, and its own save replaces the leftover.
clavora_start
wait_pin "$TARGET_HWND" 10000 >/dev/null || wait_pin "$TARGET_HWND" 10000 >/dev/null || fail "no pin after the rounds"
screenshot after-the-kills
probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone 30000
why=$(pin_file_whole "$INI") || fail "Clavora.ini after 終了 is not whole: $why"
[ ! -e "$INI.tmp" ] || fail "the temporary file outlived a clean save"
