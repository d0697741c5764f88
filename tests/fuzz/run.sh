#!/usr/bin/env bash
# Runs one fuzz target for a while:  run.sh FUZZ_BUILD_DIR NAME SECONDS [LIBFUZZER OPTIONS...]
# NAME is ConfigFile, CodePage or HotKeyState. The corpus grows in FUZZ_BUILD_DIR/corpus/NAME,
# seeded from tests/fuzz/corpus/NAME; an input that breaks the target is kept as
# FUZZ_BUILD_DIR/crash-NAME-* and the run fails.
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 FUZZ_BUILD_DIR NAME SECONDS [OPTIONS...]" >&2; exit 2; }
dir=$1 name=$2 seconds=$3
shift 3
seeds="$(cd "$(dirname "$0")" && pwd)/corpus/$name"
binary="$dir/Fuzz$name"
[ -x "$binary" ] || { echo "fuzz: $binary is not built" >&2; exit 1; }
mkdir -p "$dir/corpus/$name"
# Inputs are kept small: a Clavora.ini of a few kilobytes already reaches every path, and
# thousands of records per input only slow the search down.
exec "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$dir/crash-$name-" "$@" "$dir/corpus/$name" "$seeds"
