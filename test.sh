#!/usr/bin/env bash
# Sets everything up, builds Zekerpad and runs every test: under Wine on a
# virtual screen, and the window-free core natively under the sanitizers
# with a bounded fuzzing run.
set -euo pipefail
src=$(cd "$(dirname "$0")" && pwd)
"$src/tools/install-deps.sh"
exec "$src/tests/run-tests.sh" "$src/build"
