#!/usr/bin/env bash
# Runs one Wine scenario with the toolkit of lib.sh: ctest calls it as
#   run-scenario.sh tests/e2e/scenarios/NAME.sh
# with CLAVORA_WIN64_DIR and CLAVORA_BUILD_DIR set. Any command of the scenario that fails
# unchecked fails the scenario, with a screenshot.
set -eEuo pipefail
[ $# -eq 1 ] || { echo "usage: $0 SCENARIO.sh" >&2; exit 2; }
scenario_file=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
SCENARIO=$(basename "$1" .sh)
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_setup
trap 'fail "unchecked failure at ${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND"' ERR
scenario_start=$(now_ms)
# shellcheck disable=SC1090
source "$scenario_file"
log "passed in $(($(now_ms) - scenario_start)) ms"
