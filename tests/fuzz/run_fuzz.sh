#!/bin/sh
# Fuzzes a target for a bounded time.
#   run_fuzz.sh FUZZER [SECONDS [WORK_DIR [SEEDS [MAX_LEN]]]]
# FUZZER is a built fuzz target. New inputs go to WORK_DIR/corpus and a
# crashing input to WORK_DIR/; the seeds (by default the reference scan's
# saved corpus beside this script) are only read. Exits non-zero when the
# fuzzer finds a fault.
set -eu

fuzzer=${1:?usage: run_fuzz.sh FUZZER [SECONDS [WORK_DIR [SEEDS [MAX_LEN]]]]}
seconds=${2:-60}
work=${3:-./fuzz-work}
saved=${4:-$(cd "$(dirname "$0")" && pwd)/corpus}
max_len=${5:-4096}

mkdir -p "$work/corpus"
exec "$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" "$saved"
