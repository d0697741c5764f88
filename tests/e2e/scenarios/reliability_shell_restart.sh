# The shell restarting: Wine's explorer, which holds the notification area, is killed while
# Clavora runs, and a new shell takes its place. Clavora's icon must be back within 2 s of the
# new shell, both when the shell announces itself ("TaskbarCreated") and when it does not (the
# tray timer finds the icon lost). Wine cannot start its own explorer again in this desktop
# (the desktop window outlives it), so trayhost.exe plays the restarted shell: it takes the
# icon requests as the notification area does and logs them.
source "$E2E_DIR/reliability.sh"
TRAYHOST="$CLAVORA_WIN64_DIR/trayhost.exe"
[ -f "$TRAYHOST" ] || fail "trayhost.exe is not built in $CLAVORA_WIN64_DIR"

clavora_start
main_hex=$(printf '0x%x' "$CLAVORA_MAIN")
explorer=$(field pid "$(probe find --exe explorer.exe --class Shell_TrayWnd)")
[ -n "$explorer" ] || fail "no explorer holds the notification area"
probe terminate "$explorer"
wait_until "! probe find --class Shell_TrayWnd" 5000 || fail "the notification area outlived explorer"
# Without a shell the icon cannot be added; Clavora goes on all the same.
sleep 1.5
kill -0 "$CLAVORA_PID" || fail "Clavora ended with the shell"

# Starts the stand-in shell (ARGS for it); ICON_BACK_MS is the time from its start until
# Clavora's icon was added to it.
icon_back_after() {
    start_exe "$TRAYHOST" "$@"
    local log_file="$ARTIFACTS/trayhost.$E2E_LOG_SEQ.log" ready added
    wait_until "LC_ALL=C grep -q '^ready=' '$log_file'" 10000 || fail "trayhost did not start"
    wait_until "LC_ALL=C grep -q \$'^request=add\\thwnd=$main_hex\\t.*ok=1' '$log_file'" 5000 ||
        fail "no icon for Clavora in the new shell: $(cat "$log_file")"
    ready=$(field ms "$(LC_ALL=C grep '^ready=' "$log_file")")
    added=$(field ms "$(LC_ALL=C grep $'^request=add\thwnd='"$main_hex" "$log_file" | LC_ALL=C grep 'ok=1' | head -n1)")
    ICON_BACK_MS=$((added - ready))
}

icon_back_after
announced=$ICON_BACK_MS
log "icon back $announced ms after a shell that announced itself"
[ "$announced" -le 2000 ] || fail "the icon took $announced ms to come back"
expect_eq "$(field answers "$(probe desktop answers "$CLAVORA_MAIN")")" 1 "Clavora answering"

# The same shell gone again, and one that says nothing: the tray timer notices.
probe post "$(field hwnd "$(probe find --class Shell_TrayWnd)")" 0x0010 0 0
wait_until "! probe find --class Shell_TrayWnd" 5000 || fail "trayhost did not close"
sleep 1.5
icon_back_after --quiet
quiet=$ICON_BACK_MS
log "icon back $quiet ms after a shell that said nothing"
[ "$quiet" -le 2000 ] || fail "the icon took $quiet ms to come back"
# From then on the timer only asks whether the icon is still there: the shell is not given the
# picture again every second.
log_file="$ARTIFACTS/trayhost.$E2E_LOG_SEQ.log"
wait_until "LC_ALL=C grep -q \$'^request=modify\\thwnd=$main_hex\\t.*ok=1' '$log_file'" 3000 ||
    fail "the tray timer did not check the icon: $(cat "$log_file")"
if LC_ALL=C grep $'^request=modify\thwnd='"$main_hex" "$log_file" | LC_ALL=C grep -qv $'\tflags=0x0\t'; then
    fail "a tray check changed the icon: $(cat "$log_file")"
fi

probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0
wait_clavora_gone
log_file=$(ls -t "$ARTIFACTS"/trayhost.*.log | head -n1)
LC_ALL=C grep -q $'^request=delete\thwnd='"$main_hex" "$log_file" || fail "終了 did not remove the icon"
