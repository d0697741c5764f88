#!/usr/bin/env bash
# Builds and starts Clavora.exe under Wine on the user's display. With no display a
# virtual one is started and a short demo runs instead, leaving a screenshot behind.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
clavora_ensure_deps
clavora_build
exec bash tests/e2e/run-app.sh "$@"
