#!/usr/bin/env bash
# Builds the libFuzzer targets of the portable logic with clang and runs each one for
# SECONDS (default 10), as many at once as there are processors, from its seed corpus in
# tests/fuzz/corpus/<target>. New inputs go to build/fuzz/corpus/<target>, so that later
# runs start from them; a crashing input is kept as build/fuzz/crashes/<target>-crash-*. Prints one line a target and exits non-zero when
# any target failed. `fuzz.sh --build` only builds them.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
build_only=0
[ "$seconds" = --build ] && build_only=1
build=build/fuzz

scripts/install-deps.sh clang libclang-rt-14-dev || { echo "fuzz: could not install clang"; exit 1; }

mkdir -p "$build"
# Configured once; the build configures again by itself when a CMakeLists.txt changes.
if [ ! -f "$build/build.ninja" ] &&
    ! cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        >"$build/configure.log" 2>&1; then
    cat "$build/configure.log"; echo "fuzz: configure failed"; exit 1
fi
if ! cmake --build "$build" -j2 >"$build/build.log" 2>&1; then
    grep -E 'error|FAILED' "$build/build.log" | head -40; echo "fuzz: build failed"; exit 1
fi
[ "$build_only" -eq 0 ] || exit 0

# Target and the longest input it is given.
targets=(config_reader:16384 input_report:64 report_builder:4096 mask_runs:4096 agent_messages:4096)

mkdir -p "$build/crashes"
# Runs one target; its output goes to its log and its exit code to a file beside it.
run_target() {
    local target=$1 max_len=$2
    mkdir -p "$build/corpus/$target"
    "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
        -artifact_prefix="$build/crashes/$target-" "$build/corpus/$target" "tests/fuzz/corpus/$target" \
        >"$build/$target.log" 2>&1
    echo $? >"$build/$target.exit"
}

# As many targets at once as there are processors; each one is single-threaded.
for entry in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n; done
    run_target "${entry%%:*}" "${entry##*:}" &
done
wait

status=0
for entry in "${targets[@]}"; do
    target=${entry%%:*}
    log="$build/$target.log"
    result=$(cat "$build/$target.exit" 2>/dev/null || echo 1)
    runs=$(sed -nE 's/^Done ([0-9]+) runs.*/\1/p' "$log" | tail -1)
    if [ "$result" -eq 0 ] && [ -n "$runs" ]; then
        echo "fuzz $target: $runs runs, ok"
    else
        status=1
        summary=$(grep -m1 '^SUMMARY' "$log" || grep -m1 'ERROR' "$log")
        input=$(sed -nE 's/.*Test unit written to (.*)$/\1/p' "$log" | tail -1)
        echo "fuzz $target: FAILED ${summary:-exit $result}; ${input:+input $input, }log $log"
    fi
done
exit $status
