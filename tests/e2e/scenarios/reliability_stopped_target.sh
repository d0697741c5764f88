# Programs that stop answering while they are pinned: two targets are stopped with SIGSTOP,
# one pinned by its title, one by the text of a child window, which the cycle reads twice a
# second. Clavora keeps answering (its tray menu opens, its window answers at once) and both
# pins go on; when the programs go on, so do the pins. Then, with the programs stopped again,
# "終了" still ends Clavora and writes the file.
source "$E2E_DIR/reliability.sh"

{
    pin_record 0 "Stopped by title"
    pin_record 1 "Stopped with a child" EXTENTFLAG=1 EXTEXT=ready EXCLASS=Edit EXCTRLID=5
} | pin_file 2 >"$WORKDIR/Clavora.ini"

start_target --title "Stopped by title" --rect 100,120,400,300
by_title=$TARGET_HWND
by_title_pid=$TARGET_PID
start_target --title "Stopped with a child" --rect 600,120,400,300 --ctrl Edit 5 ready --ctrl Button 6 Apply
by_child=$TARGET_HWND
by_child_pid=$TARGET_PID
clavora_start
pin_a=$(field hwnd "$(wait_pin "$by_title" 8000)") || fail "no pin on the window pinned by title"
pin_b=$(field hwnd "$(wait_pin "$by_child" 8000)") || fail "no pin on the window pinned by its child"

stop_targets() {
    kill -STOP "$by_title_pid" "$by_child_pid"
    on_exit "kill -CONT $by_title_pid $by_child_pid 2>/dev/null"
}
# How long Clavora's own window takes to answer; a stopped program must not hold it up.
answer_ms() { field ms "$(probe desktop answers "$CLAVORA_MAIN")"; }

stop_targets
expect_eq "$(field answers "$(probe desktop answers "$by_child")")" 0 "the stopped program answering"
stopped_at=$(now_ms)
slowest=0
seconds=5
long_run && seconds=60
while [ "$(elapsed_since "$stopped_at")" -lt $((seconds * 1000)) ]; do
    ms=$(answer_ms)
    [ "$ms" -gt "$slowest" ] && slowest=$ms
    sleep 0.2
done
log "Clavora answered within $slowest ms at most while the targets were stopped for $seconds s"
[ "$slowest" -le 400 ] || fail "Clavora took $slowest ms to answer while the targets were stopped"

opened=$(now_ms)
open_tray_menu
log "the tray menu opened in $(elapsed_since "$opened") ms"
screenshot stopped-tray-menu
choose_menu_item first
wait_until "[ \"\$(field visible \"\$(probe info $CLAVORA_MAIN)\")\" = 1 ]" 5000 || fail "メインパネル did not show the panel"
hide_main_panel
expect_eq "$(field hwnd "$(wait_pin "$by_title" 1000)")" "$pin_a" "pin on the stopped window pinned by title"
expect_eq "$(field hwnd "$(wait_pin "$by_child" 1000)")" "$pin_b" "pin on the stopped window pinned by its child"

kill -CONT "$by_title_pid" "$by_child_pid"
sleep 1.5
expect_eq "$(field hwnd "$(wait_pin "$by_title" 1000)")" "$pin_a" "pin by title after the program went on"
expect_eq "$(field hwnd "$(wait_pin "$by_child" 1000)")" "$pin_b" "pin by child after the program went on"

# Ending with the programs stopped: the pins end without waiting on them.
kill -STOP "$by_title_pid" "$by_child_pid"
ended=$(now_ms)
probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone 15000
log "終了 with both programs stopped took $(elapsed_since "$ended") ms"
kill -CONT "$by_title_pid" "$by_child_pid"
expect_eq "$(ini_value PINNUM SYSTEM)" 2 "PINNUM after 終了"
expect_eq "$(ini_value EXCLASS PINITEM1)" Edit "EXCLASS after 終了"
