#!/usr/bin/env bash
# What Clavora costs while it sits idle on a desktop, measured under Wine and set against the
# bare enumeration that any window watcher must do. Run by hand; no pass or fail.
#
#   bench/wine-idle.sh [--seconds S] [--windows "30 150"] [--processes P] [--records R]
#                      [--pinned K] [--latency N] [--exe PATH] [--leak S]
#
# For each window count, in one run and on one virtual display:
#   1. P target processes open the windows between them (titles "P<k> Doc <n>").
#   2. idle: S seconds with only the targets, for the wineserver's own background.
#   3. baseline: baseline.exe (EnumWindows, visibility and title every 500 ms) for S seconds.
#   4. Clavora: Clavora.exe with R records (default 20), K of them pinned (default 5: the first
#      window of each target process, the last through an extended condition), for S seconds;
#      private bytes, GDI objects and windows at the start and the end.
#   5. latency: Clavora started again with N more records (default 10), each naming one window
#      of latency.exe, which opens those windows one after another and times each from its
#      showing to its pin; the median and the worst are the figures.
# CPU seconds are the scheduler's run time of each process: the program's own, the wineserver,
# and the prefix's other processes (explorer, services, the targets), the last two less their
# share in the idle phase. The ratio Clavora / baseline is the figure.
#
# With --leak S (after the table): Clavora alone with the largest window count for S seconds
# while its pins come and go (the pinned windows are retitled and given their titles back again
# and again);
# private bytes, GDI objects and windows are printed every minute.
#
# Builds are not made here: build first (BUILD_ROOT as for scripts/deps.sh, default build).
# --exe measures another Clavora.exe (an earlier build, say) with this build's helpers.
set -eEuo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=60
window_counts="30 150"
RECORDS=20
PINNED=5
processes=5
leak_seconds=0
LATENCY_WINDOWS=10
clavora_exe=
while [ $# -gt 0 ]; do
    case $1 in
        --seconds) seconds=$2; shift 2 ;;
        --windows) window_counts=$2; shift 2 ;;
        --processes) processes=$2; shift 2 ;;
        --leak) leak_seconds=$2; shift 2 ;;
        --records) RECORDS=$2; shift 2 ;;
        --pinned) PINNED=$2; shift 2 ;;
        --latency) LATENCY_WINDOWS=$2; shift 2 ;;
        --exe) clavora_exe=$(realpath "$2"); shift 2 ;;
        *) echo "usage: $0 [--seconds S] [--windows \"30 150\"] [--processes P] [--records R] [--pinned K] [--latency N] [--exe PATH] [--leak S]" >&2
            exit 2 ;;
    esac
done

root=${BUILD_ROOT:-build}
export CLAVORA_WIN64_DIR=${CLAVORA_WIN64_DIR:-$PWD/$root/win64}
export CLAVORA_BUILD_DIR=${CLAVORA_BUILD_DIR:-$PWD/$root/host}
SCENARIO=wine-idle
# shellcheck source=../tests/e2e/lib.sh
source tests/e2e/lib.sh
# shellcheck source=../tests/e2e/clavora.sh
source tests/e2e/clavora.sh
BASELINE="$CLAVORA_WIN64_DIR/baseline.exe"
LATENCY="$CLAVORA_WIN64_DIR/latency.exe"
[ -f "$BASELINE" ] || { echo "baseline.exe is not built in $CLAVORA_WIN64_DIR" >&2; exit 1; }
[ -f "$LATENCY" ] || { echo "latency.exe is not built in $CLAVORA_WIN64_DIR" >&2; exit 1; }
[ -n "$clavora_exe" ] && CLAVORA_EXE=$clavora_exe
e2e_setup
trap 'fail "step failed at line $LINENO: $BASH_COMMAND"' ERR

# The child control that the extended record looks for, in the windows of the last process.
EX_CLASS=Edit
EX_ID=1001
EX_TEXT=ready

# --- what the measurement reads ---

# Nanoseconds a Linux process has run, all its threads together, as the scheduler counts
# them. The user and system times of /proc/PID/stat are sampled at the clock tick, and a
# program that wakes on a timer runs between two ticks and is barely ever charged.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.0f", ns }'; }

ns_to_s() { awk -v t="$1" 'BEGIN { printf "%.3f", t / 1e9 }'; }

# The Linux processes of this prefix (other prefixes have servers and processes of their own).
prefix_pids() {
    local dir
    for dir in /proc/[0-9]*; do
        { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "${dir#/proc/}"
    done
    return 0
}

wineserver_pid() {
    local pid
    for pid in $(prefix_pids); do
        case $(cat "/proc/$pid/comm" 2>/dev/null) in wineserver*) echo "$pid"; return 0 ;; esac
    done
    return 1
}

# Nanoseconds of every process of this prefix but the wineserver and the measured program: the Wine
# services, explorer (which draws the tray) and the targets, which all answer Clavora's calls.
others_ns() {
    local pid total=0 t
    for pid in $(prefix_pids); do
        [ "$pid" = "$1" ] || [ "$pid" = "$2" ] && continue
        t=$(cpu_ns "$pid" 2>/dev/null) || continue
        total=$((total + t))
    done
    echo "$total"
}

# "private gdi windows" of a program: its private memory in bytes (the pages only it has
# written or mapped, from Linux, since Wine's GetProcessMemoryInfo gives 0 for another
# process), its live GDI objects and its windows (probe objects: Wine's GetGuiResources is a
# stub, so GDI objects are counted in the process's handle table and windows stand in for
# USER objects).
usage_of() {
    local unix_pid=$1 windows_pid=$2 private line
    private=$(awk '/^Private_(Clean|Dirty):/ { kb += $2 } END { print kb * 1024 }' "/proc/$unix_pid/smaps_rollup")
    line=$(probe objects "$windows_pid") || fail "probe objects $windows_pid failed"
    echo "$private $(field gdi "$line") $(field windows "$line")"
}

# --- the world ---

TARGET_PIDS=()

start_targets() {
    local count=$1 k per rest n logfile x
    per=$((count / processes))
    rest=$((count % processes))
    TARGET_PIDS=()
    for k in $(seq 1 "$processes"); do
        n=$per
        [ "$k" -le "$rest" ] && n=$((n + 1))
        x=$((10 + (k - 1) * 40))
        local controls=()
        [ "$k" = "$processes" ] && controls=(--ctrl "$EX_CLASS" "$EX_ID" "$EX_TEXT")
        start_exe "$TARGET" --title "P$k Doc {n}" --count "$n" --rect "$x,10,300,200" "${controls[@]}"
        TARGET_PIDS+=("$LAST_PID")
        logfile="$ARTIFACTS/target.$E2E_LOG_SEQ.log"
        wait_until "[ \"\$(LC_ALL=C grep -c '^window=' '$logfile')\" = $n ]" 60000 ||
            fail "target process $k did not open its $n windows"
    done
}

stop_targets() {
    local pid
    for pid in "${TARGET_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${TARGET_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    TARGET_PIDS=()
}

# Twenty records: five pinned (the first window of each target process, the last one through
# an extended condition) and fifteen that find nothing: whole titles of closed documents,
# title parts that occur nowhere, and programs that are not running.
write_ini() {
    local file="$WORKDIR/Clavora.ini" i=0 k
    record() { # TITLEFLAG PRECESSEFLAG FULLFLAG EXTENTFLAG TITLE TIPART EXENAME [EXCLASS EXCTRLID EXTEXT]
        printf '[PINITEM%d]\r\nTITLEFLAG=%s\r\nPRECESSEFLAG=%s\r\nEXTENTFLAG=%s\r\nFULLFLAG=%s\r\n' \
            "$i" "$1" "$2" "$4" "$3"
        printf 'EXFULLFLAG=1\r\nTITLE=%s\r\nEXENAME=%s\r\nEXEPATH=\r\nEXTEXT=%s\r\nTIPART=%s\r\nEXPART=\r\n' \
            "$5" "$7" "${10:-}" "$6"
        printf 'ZORDER=0\r\nTRSPF=0\r\nTRANS=70\r\nTGT_TOP=0\r\nTGT_BOTTOM=0\r\nTGT_LEFT=0\r\nTGT_RIGHT=0\r\n'
        [ -n "${8:-}" ] && printf 'EXCLASS=%s\r\nEXCTRLID=%s\r\n' "$8" "$9"
        i=$((i + 1))
    }
    local programs=(NOTEPAD CALC WORDPAD EXCEL MSPAINT) latency=${1:-0}
    {
        printf '[SYSTEM]\r\nPINSIZE=1\r\nMOVEENABLE=0\r\nPNHOTKEY=90\r\nPNMODIFIERS=8\r\nPINNUM=%d\r\n' \
            $((RECORDS + latency))
        for k in $(seq 1 "$PINNED"); do
            if [ "$k" = "$processes" ]; then
                record 1 1 1 1 "P$k Doc 1" "" TARGET.EXE "$EX_CLASS" "$EX_ID" "$EX_TEXT"
            else
                record 1 1 1 0 "P$k Doc 1" "" TARGET.EXE
            fi
        done
        for k in $(seq 1 $((RECORDS - PINNED))); do
            case $((k % 3)) in
                1) record 1 1 1 0 "P$(((k - 1) % processes + 1)) Closed $k" "" TARGET.EXE ;;
                2) record 1 1 0 0 "" "Report $k" TARGET.EXE ;;
                0) record 1 1 1 0 "Untitled - ${programs[k % 5]}" "" "${programs[k % 5]}.EXE" ;;
            esac
        done
        for k in $(seq 1 "$latency"); do record 1 1 1 0 "Latency $k" "" LATENCY.EXE; done
    } >"$file"
}

pin_count() { probe find --exe clavora.exe --visible 2>/dev/null | LC_ALL=C grep -vc $'\towner=0x0\t' || true; }

CLAVORA_WINPID=

start_clavora_with_pins() {
    write_ini "${1:-0}"
    clavora_start
    CLAVORA_WINPID=$(field pid "$(probe info "$CLAVORA_MAIN")")
    wait_until "[ \"\$(pin_count)\" = $PINNED ]" 20000 || fail "Clavora did not put up its $PINNED pins"
}

stop_clavora() {
    probe post "$CLAVORA_MAIN" "$WM_COMMAND" "$IDM_EXIT" 0 >/dev/null || true
    wait_clavora_gone 20000
}

# --- one window count ---

declare -A RESULT
declare -A LATENCY_RESULT
SELF=0
SERVER=0
OTHERS=0

# Waits the phase's seconds and sets SELF, SERVER and OTHERS to the nanoseconds that the program
# (none for the idle phase), the wineserver and the prefix's other processes used meanwhile.
phase() {
    local program=$1 server=$2 p0=0 s0 o0
    [ -n "$program" ] && p0=$(cpu_ns "$program")
    s0=$(cpu_ns "$server")
    o0=$(others_ns "$server" "$program")
    sleep "$seconds"
    SELF=0
    [ -n "$program" ] && SELF=$(($(cpu_ns "$program") - p0))
    SERVER=$(($(cpu_ns "$server") - s0))
    OTHERS=$(($(others_ns "$server" "$program") - o0))
}

measure() {
    local count=$1 server idle_server idle_others base clav baseline_pid baseline_log baseline_window
    local start_usage end_usage
    log "$count windows in $processes processes"
    start_targets "$count"
    server=$(wineserver_pid) || fail "no wineserver for $WINEPREFIX"

    phase "" "$server"
    idle_server=$SERVER
    idle_others=$OTHERS

    start_exe "$BASELINE"
    baseline_pid=$LAST_PID
    baseline_log="$ARTIFACTS/baseline.$E2E_LOG_SEQ.log"
    wait_until "LC_ALL=C grep -q '^ready' '$baseline_log'" 20000 || fail "baseline.exe did not start"
    baseline_window=$(probe find --class ClavoraBaseline | field hwnd)
    phase "$baseline_pid" "$server"
    base="$SELF $((SERVER - idle_server)) $((OTHERS - idle_others))"
    probe post "$baseline_window" 0x0010 0 0 >/dev/null
    wait "$baseline_pid" 2>/dev/null || true
    log "baseline: $(LC_ALL=C grep '^passes=' "$baseline_log" | tr '\t' ' ')"

    start_clavora_with_pins
    screenshot "clavora-$count"
    start_usage=$(usage_of "$CLAVORA_PID" "$CLAVORA_WINPID")
    phase "$CLAVORA_PID" "$server"
    clav="$SELF $((SERVER - idle_server)) $((OTHERS - idle_others))"
    end_usage=$(usage_of "$CLAVORA_PID" "$CLAVORA_WINPID")
    [ "$(pin_count)" = "$PINNED" ] || log "warning: $(pin_count) pins at the end, not $PINNED"
    stop_clavora

    measure_latency "$count"
    stop_targets

    RESULT[$count]="$idle_server $idle_others $base $clav $start_usage $end_usage"
}

# LATENCY_RESULT[count]: "median worst missed" in ms of latency.exe's windows, with the targets
# still open.
measure_latency() {
    local count=$1 logfile line
    start_clavora_with_pins "$LATENCY_WINDOWS"
    start_exe "$LATENCY" --count "$LATENCY_WINDOWS"
    logfile="$ARTIFACTS/latency.$E2E_LOG_SEQ.log"
    wait_until "LC_ALL=C grep -q '^median=' '$logfile'" $((LATENCY_WINDOWS * 7000 + 20000)) ||
        fail "latency.exe did not finish"
    line=$(LC_ALL=C grep '^median=' "$logfile" | tr -d '\r')
    log "latency: $(LC_ALL=C grep '^latency=' "$logfile" | sed 's/.*ms=//' | tr '\n' ' ')"
    stop_clavora
    LATENCY_RESULT[$count]="$(field median "$line") $(field worst "$line") $(field missed "$line")"
}

# a / b, or n/a when b is below a millisecond.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b < 1e6) print "n/a"; else printf "%.2f", a / b }'; }

per_cycle_ms() { awk -v t="$1" -v s="$seconds" 'BEGIN { printf "%.3f", t / 1e6 / (s * 2) }'; }

report() {
    local count is io bs bsv bo cs csv co p0 g0 w0 p1 g1 w1
    echo
    echo "Clavora idle cost under Wine: $seconds s per phase, $processes target processes, $RECORDS records"
    echo "($PINNED pinned). CPU seconds (scheduler time); wineserver and others (the prefix's other"
    echo "processes: services, explorer, the targets) less their share in the idle phase."
    echo
    echo "| windows | program | self | wineserver | others | total | ms per cycle (total) |"
    echo "|---|---|---|---|---|---|---|"
    for count in $window_counts; do
        read -r is io bs bsv bo cs csv co _ <<<"${RESULT[$count]}"
        echo "| $count | baseline | $(ns_to_s "$bs") | $(ns_to_s "$bsv") | $(ns_to_s "$bo") |" \
            "$(ns_to_s $((bs + bsv + bo))) | $(per_cycle_ms $((bs + bsv + bo))) |"
        echo "| $count | Clavora | $(ns_to_s "$cs") | $(ns_to_s "$csv") | $(ns_to_s "$co") |" \
            "$(ns_to_s $((cs + csv + co))) | $(per_cycle_ms $((cs + csv + co))) |"
        echo "| $count | ratio | $(ratio "$cs" "$bs") | $(ratio "$csv" "$bsv") | $(ratio "$co" "$bo") |" \
            "$(ratio $((cs + csv + co)) $((bs + bsv + bo))) | |"
    done
    echo
    echo "Idle phase (subtracted above), seconds: $(for c in $window_counts; do
        read -r is io _ <<<"${RESULT[$c]}"
        printf '%s windows: wineserver %s, others %s; ' "$c" "$(ns_to_s "$is")" "$(ns_to_s "$io")"
    done)"
    echo
    echo "Pin latency, from a window's showing to its pin, $LATENCY_WINDOWS windows a record names, ms:"
    echo
    echo "| windows | median | worst | no pin within 5 s |"
    echo "|---|---|---|---|"
    for count in $window_counts; do
        read -r p0 p1 w0 <<<"${LATENCY_RESULT[$count]}"
        echo "| $count | $p0 | $p1 | $w0 |"
    done
    echo
    echo "| windows | private bytes start | private bytes end | GDI objects start | GDI objects end | windows start | windows end |"
    echo "|---|---|---|---|---|---|---|"
    for count in $window_counts; do
        read -r is io bs bsv bo cs csv co p0 g0 w0 p1 g1 w1 <<<"${RESULT[$count]}"
        echo "| $count | $p0 | $p1 | $g0 | $g1 | $w0 | $w1 |"
    done
}

# Pins coming and going for leak_seconds: every pinned window is retitled (its record's title
# condition fails and the pin ends) and given its title back (the pin comes back), over and over.
leak_run() {
    local count=${window_counts##* } k h end next minute=0 rounds=0
    local pinned_windows=()
    log "leak run: $count windows, $leak_seconds s"
    start_targets "$count"
    start_clavora_with_pins
    for k in $(seq 1 "$PINNED"); do
        pinned_windows+=("$(probe find --title "P$k Doc 1" --exe target.exe | field hwnd)")
    done
    echo
    echo "| minute | rounds | private bytes | GDI objects | windows |"
    echo "|---|---|---|---|---|"
    echo "| 0 | 0 | $(usage_of "$CLAVORA_PID" "$CLAVORA_WINPID" | tr ' ' '|' | sed 's/|/ | /g') |"
    end=$(($(now_ms) + leak_seconds * 1000))
    next=$(($(now_ms) + 60000))
    while [ "$(now_ms)" -lt "$end" ]; do
        k=0
        for h in "${pinned_windows[@]}"; do probe settext "$h" "P$((k += 1)) Doc 1 (away)" >/dev/null; done
        # Under Wine without a window manager each pin takes about 2 s to vanish, one after
        # the other.
        wait_until "[ \"\$(pin_count)\" = 0 ]" $((PINNED * 3000 + 5000)) || fail "the pins did not end"
        k=0
        for h in "${pinned_windows[@]}"; do probe settext "$h" "P$((k += 1)) Doc 1" >/dev/null; done
        wait_until "[ \"\$(pin_count)\" = $PINNED ]" 10000 || fail "the pins did not come back"
        rounds=$((rounds + 1))
        if [ "$(now_ms)" -ge "$next" ]; then
            minute=$((minute + 1))
            next=$((next + 60000))
            echo "| $minute | $rounds | $(usage_of "$CLAVORA_PID" "$CLAVORA_WINPID" | tr ' ' '|' | sed 's/|/ | /g') |"
        fi
    done
    echo "| end | $rounds | $(usage_of "$CLAVORA_PID" "$CLAVORA_WINPID" | tr ' ' '|' | sed 's/|/ | /g') |"
    screenshot leak-end
    stop_clavora
    stop_targets
}

for count in $window_counts; do measure "$count"; done
report | tee "$ARTIFACTS/report.md"
if [ "$leak_seconds" -gt 0 ]; then leak_run | tee -a "$ARTIFACTS/report.md"; fi
echo
echo "(report and screenshots in $ARTIFACTS)"
