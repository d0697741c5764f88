#!/usr/bin/env bash
# Starts Clavora.exe under Wine (./run.sh calls it after building).
# With a display ($DISPLAY) it runs there, with the arguments given (-D482 opens the debug
# console), until the user quits it from its tray menu. With none,
# a virtual display is started and a short demo runs: Wine's notepad is pinned with the hotkey
# (Win+Z) and a screenshot is left in build/e2e-artifacts/demo/.
set -eEuo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
root=${BUILD_ROOT:-build}
export CLAVORA_WIN64_DIR=${CLAVORA_WIN64_DIR:-$PWD/$root/win64}
export CLAVORA_BUILD_DIR=${CLAVORA_BUILD_DIR:-$PWD/$root/host}
# A prefix of its own: the scenarios end every program of theirs when they finish, and a
# Clavora the user is running must not be among them.
export CLAVORA_WINEPREFIX=${CLAVORA_WINEPREFIX:-$CLAVORA_BUILD_DIR/wine-prefix-app}
# With a display the program keeps its Clavora.ini in build/host/e2e-work/app/ from run to
# run; the demo starts afresh in e2e-work/demo/ every time.
if [ -n "${DISPLAY:-}" ]; then SCENARIO=app; else SCENARIO=demo; fi
# shellcheck source=lib.sh
source tests/e2e/lib.sh

if [ -n "${DISPLAY:-}" ]; then
    mkdir -p "$WORKDIR" "$ARTIFACTS"
    e2e_ensure_prefix
    cp "$CLAVORA_EXE" "$WORKDIR/Clavora.exe"
    echo "Starting Clavora.exe on $DISPLAY (its Clavora.ini is kept in $WORKDIR)."
    cd "$WORKDIR"
    exec "${E2E_WINE_ENV[@]}" "$WINE" "$WORKDIR/Clavora.exe" "$@"
fi

e2e_setup
trap 'fail "demo step failed at line $LINENO: $BASH_COMMAND"' ERR

start_exe notepad
notepad=$(field hwnd "$(wait_window --class Notepad --visible --timeout 30000)")
probe move "$notepad" 80 80 640 480

start_clavora
wait_window --exe clavora.exe --timeout 20000 >/dev/null
focus_window "$notepad"
# The hotkey is registered a moment after the first window exists; a press that came too
# early is simply lost, so press again while no pin has appeared.
pin=
for attempt in 1 2 3 4 5; do
    xdotool key super+z
    if line=$(probe wait-window --owner "$notepad" --exe clavora.exe --visible --timeout 2000); then
        pin=$(field hwnd "$line")
        break
    fi
    log "no pin after Win+Z (attempt $attempt)"
done
[ -n "$pin" ] || fail "Win+Z did not pin notepad"
probe idle "$pin" && probe idle "$notepad"
screenshot demo
echo "Notepad is pinned (pin window $pin). Screenshot: $ARTIFACTS/demo.png"
