# The hold leaves what the user and the target's program do to a pinned window to them: a
# minimised pinned window stays minimised and where Wine put it through several holds, and is
# pinned again in its place once restored. Then the target's program is stopped (SIGSTOP)
# while its match condition dialog is open: "条件選択" still opens at once, and Clavora keeps
# answering; the child selection says it has no picture instead of waiting on the target.
source "$E2E_DIR/reliability.sh"

IDCANCEL=2
TITLE="Held target"
# Several holds of the pin's one-second timer.
HOLDS_MS=3500

pin_record 0 "$TITLE" | pin_file 1 >"$WORKDIR/Clavora.ini"
start_target --title "$TITLE" --rect 300,200,400,300 --ctrl Edit 5 ready --ctrl Button 6 Apply
TGT=$TARGET_HWND
clavora_start
PIN=$(field hwnd "$(wait_pin "$TGT" 8000)") || fail "no pin on the target"
probe idle "$PIN" >/dev/null
HELD=$(info_of "$TGT" rect)

# --- minimised through several holds ---

probe minimize "$TGT" >/dev/null
wait_until "[ \"\$(info_of $TGT iconic)\" = 1 ]" 3000 || fail "the target did not minimise"
ICON=$(info_of "$TGT" rect)
minimised_at=$(now_ms)
while [ "$(elapsed_since "$minimised_at")" -lt "$HOLDS_MS" ]; do
    line=$(probe info "$TGT")
    expect_eq "$(field iconic "$line"),$(field rect "$line")" "1,$ICON" "the minimised target after $(elapsed_since "$minimised_at") ms"
    sleep 0.3
done
probe restore "$TGT" >/dev/null
PIN=$(field hwnd "$(wait_pin "$TGT" 8000)") || fail "the restored target was not pinned again"
expect_eq "$(info_of "$TGT" rect)" "$HELD" "the restored target's place"

# --- the picture of a stopped target ---

open_conditions_from_pin "$PIN"
kill -STOP "$TARGET_PID"
on_exit "kill -CONT $TARGET_PID 2>/dev/null"
opened=$(now_ms)
open_child_selection
log "条件選択 opened in $(elapsed_since "$opened") ms with the target stopped"
ms=$(field ms "$(probe desktop answers "$CLAVORA_MAIN")")
[ "$ms" -le 400 ] || fail "Clavora took $ms ms to answer with the child selection of a stopped target open"
screenshot child-selection-stopped-target
click_control "$CHILD" "$IDCANCEL"
probe wait-gone "$CHILD" --timeout 5000 >/dev/null || fail "Cancel did not close the child selection"
click_control "$MATCH" "$IDCANCEL"
probe wait-gone "$MATCH" --timeout 5000 >/dev/null || fail "Cancel did not close the match condition dialog"
kill -CONT "$TARGET_PID"
expect_eq "$(field hwnd "$(wait_pin "$TGT" 3000)")" "$PIN" "the pin after the program went on"
