# Saving onto a full disk: Clavora runs from a small tmpfs of its own, which is then filled
# to the last byte. The save fails, the previous Clavora.ini stays byte for byte and no
# temporary file is left. A record made with Win+Z on the full disk is saved again and again
# on its own, and once there is room it reaches the file with nothing else asked of Clavora.
# Mounting needs root; elsewhere the scenario is skipped.
source "$E2E_DIR/reliability.sh"

CLAVORA_HOME="$WORKDIR/disk"
mkdir -p "$CLAVORA_HOME"
exe_kib=$((($(stat -c %s "$CLAVORA_EXE") + 1023) / 1024))
# Room for the program, its file and a few saves; no more.
mount -t tmpfs -o "size=$((exe_kib + 256))k" clavora-full-disk "$CLAVORA_HOME" 2>/dev/null ||
    skip_scenario "cannot mount a tmpfs here (not root?)"
on_exit "umount '$CLAVORA_HOME'"

INI="$CLAVORA_HOME/Clavora.ini"
{
    echo "; written by the scenario"
    pin_record 0 "Full disk target" TGT_LEFT=150 TGT_TOP=150 TGT_RIGHT=550 TGT_BOTTOM=450
    # Titles long enough that every save needs more than the last free blocks.
    for n in $(seq 1 20); do pin_record "$n" "Filler $n $(printf 'x%.0s' $(seq 1 1500))"; done
} | pin_file 21 >"$INI"
cp "$INI" "$WORKDIR/original.ini"

start_target --title "Full disk target" --rect 150,150,400,300
clavora_start_traced
wait_pin "$TARGET_HWND" 8000 >/dev/null || fail "no pin on the target"

dd if=/dev/zero of="$CLAVORA_HOME/filler" bs=4k 2>/dev/null || true
log "free after filling: $(df -k --output=avail "$CLAVORA_HOME" | tail -1 | tr -d ' ') KiB"
save_by_minimising "$TARGET_HWND"
# The balloon from the tray icon, once a retry has failed too.
balloon_shown() { probe find --exe explorer.exe --class tooltips_class32 --visible | LC_ALL=C grep -q hwnd=; }
wait_until balloon_shown 10000 || fail "no balloon told that saves fail"
# The failed save removes its temporary file once it knows.
wait_until "[ ! -e '$INI.tmp' ]" 3000 || fail "a temporary file was left on the full disk"
cmp -s "$INI" "$WORKDIR/original.ini" || fail "Clavora.ini changed on the full disk"
open_tray_menu
screenshot full-disk-still-answering
choose_menu_item first
wait_until "[ \"\$(field visible \"\$(probe info $CLAVORA_MAIN)\")\" = 1 ]" 5000 || fail "メインパネル did not show the panel"
hide_main_panel

first=$TARGET_HWND
start_target --title "Made on a full disk" --rect 500,200,300,200
before=$(save_attempts)
press_pin_hotkey "$TARGET_HWND"
wait_pin "$TARGET_HWND" 8000 >/dev/null || fail "no pin after Win+Z on the full disk"
# The countdown's save, then a retry that nobody asked for.
wait_until "[ \"\$(save_attempts)\" -ge $((before + 2)) ]" 20000 || fail "a failed save was not tried again"
cmp -s "$INI" "$WORKDIR/original.ini" || fail "Clavora.ini changed on the full disk"

rm "$CLAVORA_HOME/filler"
t0=$(now_ms)
wait_until "[ \"\$(ini_value PINNUM SYSTEM)\" = 22 ]" 20000 || fail "with room again the record never reached the file"
log "the record reached the file $(elapsed_since "$t0") ms after the room came back"
why=$(pin_file_whole "$INI") || fail "Clavora.ini after the save is not whole: $why"
expect_eq "$(ini_value TITLE PINITEM21)" "Made on a full disk" "the record made on the full disk"
expect_eq "$(ini_value TGT_LEFT PINITEM0)" 150 "TGT_LEFT"
wait_pin "$first" 1000 >/dev/null || fail "the first pin went"
wait_until balloon_shown 10000 || fail "no balloon told that saving works again"
screenshot full-disk-saved-again

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone
why=$(pin_file_whole "$INI") || fail "Clavora.ini after 終了 is not whole: $why"
