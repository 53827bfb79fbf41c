#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine, in a Wine session of their own, and prints
# their figures. The machines are shared: compare figures within one run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target agent_bench >/dev/null
state=$PWD/build/bench/wine
cmake/wine-session.sh start "$state"
trap 'cmake/wine-session.sh stop "$state"' EXIT
. "$state/env"
wine build/windows/tests/bench/agent_bench.exe 2>/dev/null
