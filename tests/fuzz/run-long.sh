#!/usr/bin/env bash
# The long fuzz run, by hand:  tests/fuzz/run-long.sh [SECONDS_EACH] [NAME...]
# Builds the fuzz tree in ${BUILD_ROOT:-build}/fuzz (clang and libFuzzer needed: clang and
# libclang-rt-dev on Debian), then runs each target (all when no NAME is given) for
# SECONDS_EACH seconds, 600 unless told. The corpus and any crash stay in that folder; a
# crash stops the run. FUZZ_JOBS runs that many fuzzing processes per target (default 1).
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-600}
[ $# -gt 0 ] && shift
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(ConfigFile CodePage HotKeyState)
dir="$PWD/${BUILD_ROOT:-build}/fuzz"
cmake -S tests/fuzz -B "$dir" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$dir" -j 2
jobs=${FUZZ_JOBS:-1}
for name in "${names[@]}"; do
    echo "== $name: $seconds s"
    if [ "$jobs" -gt 1 ]; then
        bash tests/fuzz/run.sh "$dir" "$name" "$seconds" -fork="$jobs"
    else
        bash tests/fuzz/run.sh "$dir" "$name" "$seconds"
    fi
done
