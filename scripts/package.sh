#!/usr/bin/env bash
# Makes the release package: build/win64/package/Clavora-<version>-win64.zip (Clavora.exe
# without its debug information, guide.html, LICENSE.txt, README.txt) and, beside it,
# Clavora-<version>-win64.debug, the debug information that the packaged exe names.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
clavora_ensure_deps
clavora_build
root=${BUILD_ROOT:-build}
cmake --build "$root/win64" --target package
