#!/usr/bin/env bash
# Builds both trees and runs every test through ctest: unit tests (label "unit") and the
# scenarios under Wine + Xvfb (label "e2e"). Extra arguments go to ctest, for example
# ./test.sh -L unit
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
clavora_ensure_deps
clavora_build
cd "${BUILD_ROOT:-build}/host"
ctest --output-on-failure --timeout 600 "$@"
