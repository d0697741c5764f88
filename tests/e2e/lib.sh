# The scenarios' toolkit, sourced by run-scenario.sh (and by run-app.sh): a Wine prefix that is
# made once and reused, a virtual display of the scenario's own, the helper programs, waiting
# on conditions with deadlines, screenshots, and a cleanup that ends everything it started.
#
# Needs CLAVORA_WIN64_DIR (the Windows build tree) and CLAVORA_BUILD_DIR (the host build
# tree); SCENARIO names the scenario (its artifacts folder). The prefix is
# $CLAVORA_BUILD_DIR/wine-prefix unless CLAVORA_WINEPREFIX names another.
#
# Variables after e2e_setup:
#   WINEPREFIX  DISPLAY  ARTIFACTS (screenshots, logs)  WORKDIR (the scenario's own directory,
#   where Clavora.exe runs and keeps its Clavora.ini)  PROBE  TARGET  CLAVORA_EXE  LAST_PID
#   E2E_DIR (tests/e2e)
#
# Functions:
#   e2e_setup                    display, prefix, folders, cleanup trap (run-scenario.sh calls it)
#   start_exe EXE [ARGS...]      starts a Windows program in the background, from WORKDIR;
#                                EXE is a unix path or a program of the prefix (notepad);
#                                output goes to $ARTIFACTS/<name>.<n>.log; sets LAST_PID
#   start_clavora [ARGS...]      copies Clavora.exe into WORKDIR and starts it from there
#   probe ARGS...                runs probe.exe and prints its output (see probe.cpp)
#   field KEY [LINE]             the value of KEY in the first probe line of LINE (or standard
#                                input), escapes undone; "" when the key is absent
#   wait_until "CMD" MS          runs CMD every 100 ms until it succeeds; 1 after MS ms
#   wait_window FILTERS... [--timeout MS]   the first matching window's probe line, or fail
#   is_foreground HWND           true when HWND is the foreground window
#   focus_window HWND            foreground window and X keyboard focus (for xdotool key)
#   ansi_hex TEXT                the hex of UTF-8 TEXT in the Japanese ANSI code page
#   info_of HWND KEY             one value of the window's probe line
#   child_line HWND ID, child_of HWND ID   the first descendant with control ID: its line, hwnd
#   checked HWND ID              BM_GETCHECK of that control
#   center_of L,T,R,B            "X Y" of the rectangle's centre
#   click_at_rect L,T,R,B, click_control HWND ID   a real left click in the middle
#   expect_eq ACTUAL EXPECTED WHAT, expect_match TEXT REGEX WHAT   check or fail
#   screenshot NAME              $ARTIFACTS/NAME.png of the whole display
#   use_heads [X,Y,W,H ...]      ends every Wine program and the display, and starts a display
#                                on which Wine sees those monitors (heads of one X screen); with
#                                none, the usual display of one 1280x1024 monitor
#   log MSG, fail MSG            fail takes a screenshot, keeps a window list and exits 1
#   wine_run ARGS...             runs wine with the scenario's locale and prefix
#
# Scenarios run under `set -eEuo pipefail`: a command that fails unchecked fails the scenario
# (with a screenshot), also inside $(...). Where a non-zero exit is an answer (probe find,
# probe wait-window, probe desktop control-text), test it with if, || or wait_until.

: "${CLAVORA_WIN64_DIR:?CLAVORA_WIN64_DIR must name the Windows build tree}"
: "${CLAVORA_BUILD_DIR:?CLAVORA_BUILD_DIR must name the host build tree}"
SCENARIO=${SCENARIO:-adhoc}

# This folder, for scenarios that source further helpers from it.
# shellcheck disable=SC2034
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
CLAVORA_BUILD_DIR=$(cd "$CLAVORA_BUILD_DIR" && pwd)

export WINEPREFIX=${CLAVORA_WINEPREFIX:-$CLAVORA_BUILD_DIR/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
# Japanese system: code page 932 and Japanese UI texts, for Wine only; the host's own tools
# work byte-wise. The host has no Japanese locale, so one is compiled into the build tree:
# without it Wine reads its command lines as 7-bit ASCII.
E2E_WINE_LOCALE=ja_JP.UTF-8
E2E_LOCALE_DIR="$CLAVORA_BUILD_DIR/wine-locale"
# Raise when the prefix's settings change: older prefixes are then made anew.
E2E_PREFIX_VERSION=4

PROBE="$CLAVORA_WIN64_DIR/probe.exe"
TARGET="$CLAVORA_WIN64_DIR/target.exe"
CLAVORA_EXE="$CLAVORA_WIN64_DIR/Clavora.exe"
ARTIFACTS="$(dirname "$CLAVORA_BUILD_DIR")/e2e-artifacts/$SCENARIO"
WORKDIR="$CLAVORA_BUILD_DIR/e2e-work/$SCENARIO"
LAST_PID=

E2E_PIDS=()
E2E_MAIN_PID=$BASHPID
E2E_XVFB_PID=
E2E_STARTED=0
E2E_POLL_S=0.1

e2e_find_tool() {
    local name
    for name in "$@"; do
        if command -v "$name" >/dev/null 2>&1; then
            command -v "$name"
            return 0
        fi
        if [ -x "/usr/lib/wine/$name" ]; then
            echo "/usr/lib/wine/$name"
            return 0
        fi
    done
    return 1
}

WINE=$(e2e_find_tool wine64 wine) || { echo "e2e: wine64 is not installed" >&2; exit 1; }
WINESERVER=$(e2e_find_tool wineserver wineserver64) || { echo "e2e: wineserver is not installed" >&2; exit 1; }

log() { echo "[$SCENARIO] $*"; }

now_ms() { date +%s%3N; }

E2E_WINE_BASE_ENV=(env LOCPATH="$E2E_LOCALE_DIR" LC_ALL="$E2E_WINE_LOCALE")
E2E_WINE_ENV=("${E2E_WINE_BASE_ENV[@]}")

wine_run() { "${E2E_WINE_ENV[@]}" "$WINE" "$@"; }

# --- virtual display ---

# e2e_start_display [SCREEN [XVFB ARGS...]]: 1280x1024x24 unless SCREEN says otherwise.
# Without auto-repeat: a key a scenario holds down stays one press however long a busy machine
# takes before it is let go.
e2e_start_display() {
    local fdfile="$ARTIFACTS/xvfb.display" screen=${1:-1280x1024x24} deadline
    shift $(($# > 0 ? 1 : 0))
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 "$screen" "$@" -r -nolisten tcp -noreset 3>"$fdfile" \
        >>"$ARTIFACTS/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    deadline=$(($(now_ms) + 10000))
    while ! grep -q '^[0-9]' "$fdfile" 2>/dev/null; do
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || { echo "e2e: Xvfb did not start" >&2; return 1; }
        [ "$(now_ms)" -lt "$deadline" ] || { echo "e2e: Xvfb gave no display" >&2; return 1; }
        sleep "$E2E_POLL_S"
    done
    DISPLAY=":$(head -n1 "$fdfile")"
    export DISPLAY
}

E2E_HEADS_DIR="$CLAVORA_BUILD_DIR/xinerama"

e2e_stop_display() {
    [ -n "$E2E_XVFB_PID" ] || return 0
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=
}

# Every Wine process of the prefix ends, and with them the desktop that has read the monitors.
e2e_end_wine() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
}

# One wineserver for the prefix, running before any program starts and until e2e_end_wine.
# Programs started together with none running each start one, and on a loaded machine one of
# them has been seen to wait for ever for its server (Wine 8); a server that ends with its
# last program would race the next one the same way.
e2e_start_wine() { "$WINESERVER" -p >/dev/null 2>&1 || true; }

use_heads() {
    local heads="$*" head x y w h width=0 height=0
    e2e_end_wine
    e2e_stop_display
    E2E_WINE_ENV=("${E2E_WINE_BASE_ENV[@]}")
    if [ -z "$heads" ]; then
        e2e_start_display || fail "the display did not start again"
        e2e_start_wine
        return 0
    fi
    [ -f "$E2E_HEADS_DIR/libXinerama.so.1" ] || fail "the Xinerama stand-in is not built in $E2E_HEADS_DIR"
    for head in $heads; do
        IFS=, read -r x y w h <<<"$head"
        width=$((x + w > width ? x + w : width))
        height=$((y + h > height ? y + h : height))
    done
    E2E_WINE_ENV+=(LD_LIBRARY_PATH="$E2E_HEADS_DIR" CLAVORA_E2E_HEADS="$heads")
    # Without RANDR, Wine's X11 driver takes its monitors from Xinerama, that is the stand-in.
    e2e_start_display "${width}x${height}x24" -extension RANDR || fail "the display of $heads did not start"
    e2e_start_wine
}

# --- the Wine prefix, made once per build tree ---

# Font replacements so Japanese text has glyphs; the names are escaped because `wine reg add`
# mangles non-ASCII names when the host lacks the locale. Crashes must not wait on a dialog.
# There is no window manager, so Wine draws the window frames and captions itself, and the
# shell's windows are not left to one: Wine would wait two seconds for a window manager each
# time the tray window hides (when the last icon goes, at every exit of Clavora).
e2e_write_prefix_settings() {
    cat >"$1" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"\xff2d\xff33 \xff30\x30b4\x30b7\x30c3\x30af"="IPAPGothic"
"\xff2d\xff33 \x30b4\x30b7\x30c3\x30af"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"Tahoma"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\explorer.exe\X11 Driver]
"Managed"="N"
EOF
}

e2e_make_locale() {
    [ -d "$E2E_LOCALE_DIR/$E2E_WINE_LOCALE" ] && return 0
    mkdir -p "$E2E_LOCALE_DIR"
    localedef -i ja_JP -f UTF-8 "$E2E_LOCALE_DIR/$E2E_WINE_LOCALE" >"$ARTIFACTS/localedef.log" 2>&1 || {
        rm -rf "${E2E_LOCALE_DIR:?}/$E2E_WINE_LOCALE"
        echo "e2e: cannot compile the Japanese locale (is the 'locales' package installed?)" >&2
        return 1
    }
}

e2e_prefix_ready() { [ "$(cat "$WINEPREFIX/.clavora-ready" 2>/dev/null)" = "$E2E_PREFIX_VERSION" ]; }

e2e_ensure_prefix() {
    e2e_prefix_ready && [ -d "$E2E_LOCALE_DIR/$E2E_WINE_LOCALE" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        # One maker at a time; whoever waited finds the prefix ready.
        flock -w 300 9 || { echo "e2e: timed out waiting for the prefix lock" >&2; exit 1; }
        e2e_make_locale || exit 1
        e2e_prefix_ready && exit 0
        log "creating the Wine prefix $WINEPREFIX (once)"
        "$WINESERVER" -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
        WINEDLLOVERRIDES="mscoree,mshtml=" wine_run wineboot -i >"$ARTIFACTS/wineboot.log" 2>&1 ||
            { echo "e2e: wineboot failed" >&2; exit 1; }
        "$WINESERVER" -w
        local regfile="$WINEPREFIX/clavora-settings.reg"
        e2e_write_prefix_settings "$regfile"
        wine_run regedit /S "$regfile" >>"$ARTIFACTS/wineboot.log" 2>&1 || { echo "e2e: regedit failed" >&2; exit 1; }
        "$WINESERVER" -w
        echo "$E2E_PREFIX_VERSION" >"$WINEPREFIX/.clavora-ready"
    ) 9>"$WINEPREFIX.lock"
}

# --- starting and ending programs ---

E2E_LOG_SEQ=0

start_exe() {
    local exe=$1 name
    shift
    name=$(basename "$exe")
    name=${name%.exe}
    E2E_LOG_SEQ=$((E2E_LOG_SEQ + 1))
    (cd "$WORKDIR" && exec "${E2E_WINE_ENV[@]}" "$WINE" "$exe" "$@") \
        >"$ARTIFACTS/$name.$E2E_LOG_SEQ.log" 2>&1 &
    LAST_PID=$!
    E2E_PIDS+=("$LAST_PID")
}

start_clavora() {
    [ -f "$CLAVORA_EXE" ] || fail "Clavora.exe is not built ($CLAVORA_EXE)"
    cp "$CLAVORA_EXE" "$WORKDIR/Clavora.exe"
    start_exe "$WORKDIR/Clavora.exe" "$@"
}

# The probe ends every run with a line "probe: status N" on stderr. Without it Wine did not run
# the probe through (it failed to start it, ended it early or left it waiting past any wait a
# scenario asks for, which a loaded machine has been seen to do once in hundreds of runs,
# silently under WINEDEBUG=-all): that run is reported, and the probe is run once more.
E2E_PROBE_LIMIT_S=100
probe() {
    local out rc attempt err
    err=$(mktemp "$ARTIFACTS/probe.XXXXXX")
    for attempt in 1 2; do
        rc=0
        out=$(cd "$WORKDIR" &&
            timeout -k 5 "$E2E_PROBE_LIMIT_S" "${E2E_WINE_ENV[@]}" "$WINE" "$PROBE" "$@" 2>"$err") || rc=$?
        LC_ALL=C grep -v '^probe: status ' "$err" >>"$ARTIFACTS/probe.err" || true
        LC_ALL=C grep -q '^probe: status ' "$err" && break
        echo "[$SCENARIO] probe $* did not run through under Wine (status $rc, attempt $attempt)" >&2
    done
    rm -f "$err"
    [ -n "$out" ] && printf '%s\n' "${out//$'\r'/}"
    return "$rc"
}

field() {
    local key=$1 line value
    if [ $# -ge 2 ]; then line=$2; else line=$(cat); fi
    # Only the first line counts. Read from a string, not a pipe: a writer that outlives a
    # reader which has stopped early is ended by SIGPIPE, which pipefail takes for a failure.
    value=$(LC_ALL=C awk -F'\t' -v key="$key" 'NR == 1 {
        for (i = 1; i <= NF; i++) {
            eq = index($i, "=")
            if (substr($i, 1, eq - 1) == key) { print substr($i, eq + 1); exit }
        }
    }
    { exit }' <<<"$line")
    # The probe escapes only \\ \t \n \r and \xHH, which is what %b reads back.
    printf '%b' "$value"
}

wait_until() {
    local cmd=$1 timeout_ms=$2 deadline
    deadline=$(($(now_ms) + timeout_ms))
    until eval "$cmd" >/dev/null 2>&1; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep "$E2E_POLL_S"
    done
}

wait_window() {
    probe wait-window "$@" || fail "no window matching: $*"
}

is_foreground() { [ "$(field hwnd "$(probe foreground)")" = "$1" ]; }

# Makes h the foreground window and gives its X window the keyboard focus, so that keys sent
# with xdotool reach it (there is no window manager to do either).
focus_window() {
    local h=$1 xid
    probe setfg "$h" >/dev/null || fail "SetForegroundWindow($h) refused"
    xid=$(field xid "$(probe xid "$h")")
    [ -n "$xid" ] || fail "no X window for $h"
    xdotool windowfocus "$xid"
    wait_until "is_foreground $h" 3000 || fail "$h did not become the foreground window"
}

ansi_hex() { printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -tx1 -v | tr -d ' \n'; }

info_of() { field "$2" "$(probe info "$1")"; }
child_line() { probe children "$1" | LC_ALL=C grep $'\tid='"$2"$'\t' | head -n1; }
child_of() { field hwnd "$(child_line "$1" "$2")"; }
BM_GETCHECK=0x00F0
checked() { field result "$(probe send "$(child_of "$1" "$2")" $BM_GETCHECK 0 0)"; }

center_of() {
    local l t r b
    IFS=, read -r l t r b <<<"$1"
    echo "$(((l + r) / 2)) $(((t + b) / 2))"
}

click_at_rect() {
    local x y
    read -r x y <<<"$(center_of "$1")"
    xdotool mousemove "$x" "$y" click 1
}

click_control() { click_at_rect "$(field rect "$(child_line "$1" "$2")")"; }

expect_eq() {
    [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"
}

expect_match() {
    printf '%s' "$1" | LC_ALL=C grep -Eq -- "$2" || fail "$3: '$1' does not match /$2/"
}

screenshot() {
    import -display "$DISPLAY" -window root "$ARTIFACTS/$1.png" 2>>"$ARTIFACTS/import.log" ||
        log "screenshot $1 failed"
}

fail() {
    echo "[$SCENARIO] FAIL: $*" >&2
    if [ "$E2E_STARTED" = 1 ]; then
        screenshot failure
        probe list >"$ARTIFACTS/failure-windows.txt" 2>&1 || true
        echo "[$SCENARIO] screenshot and window list in $ARTIFACTS" >&2
    fi
    # Inside $(...) an exit ends only the subshell: tell the scenario itself.
    [ "$BASHPID" = "$E2E_MAIN_PID" ] || kill -USR1 "$E2E_MAIN_PID" 2>/dev/null
    exit 1
}

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ "$E2E_STARTED" = 1 ]; then e2e_end_wine; fi
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    e2e_stop_display
}

e2e_setup() {
    rm -rf "$WORKDIR" "$ARTIFACTS"
    mkdir -p "$WORKDIR" "$ARTIFACTS"
    E2E_MAIN_PID=$BASHPID
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    trap 'exit 1' USR1
    # A wineserver left behind by a run that was killed would still serve a display that is gone.
    e2e_end_wine
    e2e_start_display || exit 1
    E2E_STARTED=1
    e2e_ensure_prefix || fail "the Wine prefix could not be made"
    e2e_start_wine
    if [ ! -f "$PROBE" ] || [ ! -f "$TARGET" ]; then
        fail "probe.exe and target.exe are not built in $CLAVORA_WIN64_DIR"
    fi
}
