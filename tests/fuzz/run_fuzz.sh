#!/bin/sh
# Fuzzes the reference scan for a bounded time.
#   run_fuzz.sh FUZZER [SECONDS [WORK_DIR]]
# FUZZER is the built fuzz_refscan. New inputs go to WORK_DIR/corpus and a
# crashing input to WORK_DIR/; the saved corpus beside this script is only
# read. Exits non-zero when the fuzzer finds a fault.
set -eu

fuzzer=${1:?usage: run_fuzz.sh FUZZER [SECONDS [WORK_DIR]]}
seconds=${2:-60}
work=${3:-./fuzz-work}
saved=$(cd "$(dirname "$0")" && pwd)/corpus

mkdir -p "$work/corpus"
exec "$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" "$saved"
