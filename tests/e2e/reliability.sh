# What the reliability scenarios share, on top of clavora.sh: a Clavora.ini written ahead
# (so a scenario starts with the records it needs), the check that a Clavora.ini is whole,
# save attempts seen in Wine's file trace, and undoing what a scenario did to the file
# system (an immutable folder, a mount) however the scenario ends.
#
#   pin_file SYSTEM_COUNT [KEY=VALUE...] < RECORDS > FILE   wraps records (from pin_record)
#                              into a whole file: the SYSTEM section with PINNUM=SYSTEM_COUNT
#                              (and the other settings as given), CR LF line ends, UTF-8
#                              turned into the Japanese ANSI code page
#   pin_record N TITLE [KEY=VALUE...]  one record's section: process TARGET.EXE and the whole
#                              title by default, keys in the writer's order; EXCLASS= and
#                              EXCTRLID= come last when given
#   pin_file_whole FILE        true when FILE is a whole Clavora.ini as the writer leaves it:
#                              PINNUM sections, each with every key, every line ended (after
#                              a UTF-8 byte-order mark, if any);
#                              otherwise prints why and is false
#   start_target ARGS...       target.exe ARGS; sets TARGET_HWND (its first window) and
#                              TARGET_PID (the Unix process, for signals)
#   clavora_start_traced [ARGS...]  clavora_start with Wine's file trace in CLAVORA_LOG
#   save_attempts              how many times that Clavora began a save (created its temporary)
#   save_by_minimising HWND    minimises HWND so that its pin ends (a save follows), waits for
#                              the attempt, restores HWND and waits for its pin again
#   hide_main_panel            Escape posted to the main window, which hides it
#   on_exit CMD                runs CMD when the scenario ends, after every program has gone
#   long_run                   true when CLAVORA_LONG=1 asks for the long version
#   skip_scenario REASON       ends the scenario as skipped (ctest shows it so)
source "$E2E_DIR/clavora.sh"

TARGET_HWND=
TARGET_PID=
CLAVORA_LOG=
E2E_UNDO=()

on_exit() {
    E2E_UNDO+=("$1")
    trap 'e2e_cleanup; e2e_undo' EXIT
}

e2e_undo() {
    local cmd
    for cmd in "${E2E_UNDO[@]}"; do eval "$cmd" || true; done
}

skip_scenario() {
    echo "[$SCENARIO] SKIPPED: $*"
    exit 0
}

long_run() { [ "${CLAVORA_LONG:-0}" = 1 ]; }

pin_file() {
    local count=$1 pair
    shift
    declare -A v=([PINSIZE]=1 [MOVEENABLE]=0 [PNHOTKEY]=90 [PNMODIFIERS]=8)
    for pair in "$@"; do v[${pair%%=*}]=${pair#*=}; done
    {
        printf '[SYSTEM]\nPINSIZE=%s\nMOVEENABLE=%s\nPNHOTKEY=%s\nPNMODIFIERS=%s\nPINNUM=%s\n' "${v[PINSIZE]}" \
            "${v[MOVEENABLE]}" "${v[PNHOTKEY]}" "${v[PNMODIFIERS]}" "$count"
        cat
    } | sed 's/$/\r/' | iconv -f UTF-8 -t CP932
}

pin_record() {
    local n=$1 title=$2 key pair
    shift 2
    declare -A v=([TITLEFLAG]=1 [PRECESSEFLAG]=1 [EXTENTFLAG]=0 [FULLFLAG]=1 [EXFULLFLAG]=1
        [TITLE]="$title" [EXENAME]=TARGET.EXE [EXEPATH]= [EXTEXT]= [TIPART]= [EXPART]= [ZORDER]=0
        [TRSPF]=0 [TRANS]=70 [TGT_TOP]=0 [TGT_BOTTOM]=0 [TGT_LEFT]=0 [TGT_RIGHT]=0)
    for pair in "$@"; do v[${pair%%=*}]=${pair#*=}; done
    printf '[PINITEM%d]\n' "$n"
    for key in TITLEFLAG PRECESSEFLAG EXTENTFLAG FULLFLAG EXFULLFLAG TITLE EXENAME EXEPATH EXTEXT TIPART \
        EXPART ZORDER TRSPF TRANS TGT_TOP TGT_BOTTOM TGT_LEFT TGT_RIGHT EXCLASS EXCTRLID; do
        if [ -n "${v[$key]+set}" ]; then printf '%s=%s\n' "$key" "${v[$key]}"; fi
    done
}

pin_file_whole() {
    LC_ALL=C awk '
        BEGIN { keys = "TITLEFLAG PRECESSEFLAG EXTENTFLAG FULLFLAG EXFULLFLAG TITLE EXENAME EXEPATH EXTEXT TIPART EXPART ZORDER TRSPF TRANS TGT_TOP TGT_BOTTOM TGT_LEFT TGT_RIGHT"
                n = split(keys, want, " "); RS = "\n"; bad = "" }
        function problem(why) { if (bad == "") bad = why " (line " NR ")" }
        {
            if (substr($0, length($0)) != "\r") problem("a line without CR LF")
            sub(/\r$/, "")
            # A file with a title the code page lacks is UTF-8 behind its byte-order mark.
            if (NR == 1 && substr($0, 1, 3) == "\357\273\277") $0 = substr($0, 4)
            if (NR == 1 && $0 != "[SYSTEM]") problem("no [SYSTEM] first")
            if ($0 ~ /^PINNUM=/ && section == "SYSTEM") count = substr($0, 8) + 0
            if ($0 ~ /^\[/) {
                if (section ~ /^PINITEM/ && seen != n) problem(section " has " seen " keys")
                section = substr($0, 2, length($0) - 2); seen = 0
                if (section ~ /^PINITEM/) {
                    if (section != "PINITEM" (records + 0)) problem("section " section " out of order")
                    records++
                }
                next
            }
            if (section ~ /^PINITEM/ && seen < n) {
                if (index($0, want[seen + 1] "=") != 1) problem(section " key " seen + 1 " is not " want[seen + 1])
                seen++
            }
        }
        END {
            if (section ~ /^PINITEM/ && seen != n) problem("the last section " section " has " seen " keys")
            if (records != count) problem("PINNUM=" count " but " records " sections")
            if (bad != "") { print bad; exit 1 }
        }' "$1" || return 1
    # awk does not see a missing line end after the last line.
    [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" = 0d0a ] || { echo "no CR LF at the end"; return 1; }
}

start_target() {
    start_exe "$TARGET" "$@"
    TARGET_PID=$LAST_PID
    local log="$ARTIFACTS/target.$E2E_LOG_SEQ.log"
    # Wine starts a program slowly on a busy machine.
    wait_until "LC_ALL=C grep -q '^window=1' '$log'" 30000 || fail "target did not open: $(cat "$log")"
    TARGET_HWND=$(field hwnd "$(LC_ALL=C grep '^window=1' "$log")")
}

clavora_start_traced() {
    WINEDEBUG=trace+file clavora_start "$@"
    CLAVORA_LOG="$ARTIFACTS/Clavora.$E2E_LOG_SEQ.log"
}

save_attempts() {
    LC_ALL=C grep -ac 'CreateFileW L".*Clavora\.ini\.tmp"' "$CLAVORA_LOG" || true
}

save_by_minimising() {
    local h=$1 before
    before=$(save_attempts)
    probe minimize "$h" >/dev/null
    wait_until "[ \"\$(save_attempts)\" -gt $before ]" 8000 || fail "no save after the pin on $h ended"
    probe restore "$h" >/dev/null
    wait_pin "$h" 8000 >/dev/null || fail "the pin did not come back on $h"
}

hide_main_panel() {
    probe post "$CLAVORA_MAIN" "$WM_KEYDOWN" "$VK_ESCAPE" 0
    wait_until "[ \"\$(field visible \"\$(probe info $CLAVORA_MAIN)\")\" = 0 ]" 5000 || fail "the main panel stayed"
}
