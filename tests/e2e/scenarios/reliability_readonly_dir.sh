# Saving into a folder that has turned read-only: the save fails, the previous Clavora.ini
# stays byte for byte, the program goes on (the pin comes back, the tray menu works), and the
# next save once the folder is writable again succeeds; at "終了" the user is asked to try again. The scenario runs as root, who may
# write into any read-only folder, so the folder is made immutable (chattr +i), which holds
# for root too. CLAVORA_LONG=1 goes through the read-only spell ten times.
source "$E2E_DIR/reliability.sh"

CLAVORA_HOME="$WORKDIR/app"
mkdir -p "$CLAVORA_HOME"
INI="$CLAVORA_HOME/Clavora.ini"
# A comment line the program's own writer never writes: the first save that succeeds drops it.
{
    echo "; written by the scenario"
    pin_record 0 "Read-only target"
} | pin_file 1 >"$INI"
cp "$INI" "$WORKDIR/original.ini"

start_target --title "Read-only target" --rect 200,200,400,300
clavora_start_traced
wait_pin "$TARGET_HWND" 8000 >/dev/null || fail "no pin on the target"

on_exit "chattr -i '$CLAVORA_HOME'"
rounds=1
long_run && rounds=10
for round in $(seq 1 "$rounds"); do
    chattr +i "$CLAVORA_HOME"
    if touch "$CLAVORA_HOME/probe-write" 2>/dev/null; then fail "chattr +i does not hold on this file system"; fi

    save_by_minimising "$TARGET_HWND"
    cmp -s "$INI" "$WORKDIR/original.ini" || fail "round $round: Clavora.ini changed in the read-only folder"
    [ ! -e "$INI.tmp" ] || fail "round $round: a temporary file was left"
    # Still answering: the tray menu opens and shows the main panel.
    open_tray_menu
    choose_menu_item first
    wait_until "[ \"\$(field visible \"\$(probe info $CLAVORA_MAIN)\")\" = 1 ]" 5000 ||
        fail "round $round: メインパネル did not show the panel"
    [ "$round" = 1 ] && screenshot read-only-still-answering
    hide_main_panel
    chattr -i "$CLAVORA_HOME"
done
log "$(save_attempts) save attempts failed while the folder was read-only"

save_by_minimising "$TARGET_HWND"
wait_until "! cmp -s '$INI' '$WORKDIR/original.ini'" 5000 || fail "the save after the folder became writable did nothing"
why=$(pin_file_whole "$INI") || fail "Clavora.ini after the save is not whole: $why"
LC_ALL=C grep -q '^; written by the scenario' "$INI" && fail "the saved file still has the scenario's comment"
expect_eq "$(ini_value TITLE PINITEM0)" "Read-only target" "TITLE after the save"
[ ! -e "$INI.tmp" ] || fail "a temporary file was left after the save"

# "終了" with the folder read-only again: the user is asked, makes it writable and tries again.
chattr +i "$CLAVORA_HOME"
saved_inode=$(stat -c %i "$INI")
probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
box=$(probe wait-window --title Clavora --class '#32770' --exe clavora.exe --visible --timeout 10000) ||
    fail "終了 did not ask about the file it could not write"
box=$(field hwnd "$box")
probe idle "$box" >/dev/null
expect_match "$(probe children "$box")" "text=設定を保存できませんでした:" "the question at 終了"
screenshot exit-save-failed
expect_eq "$(pin_count_of "$TARGET_HWND")" 0 "pins while the question is open"
chattr -i "$CLAVORA_HOME"
probe post "$box" "$WM_COMMAND" "$IDYES" 0
wait_clavora_gone
[ "$(stat -c %i "$INI")" != "$saved_inode" ] || fail "はい at 終了 did not write Clavora.ini"
why=$(pin_file_whole "$INI") || fail "Clavora.ini after 終了 is not whole: $why"
