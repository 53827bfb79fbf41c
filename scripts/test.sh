#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test: the portable logic
# on the host, then the Windows programs and their tests under Wine, then a short run of
# each fuzz target, which counts as one test. Prints the time of each stage and ends with
# one line "tests: N passed, N failed"; exits non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh || { echo "tests: 0 passed, 1 failed (could not install the tools)"; exit 1; }

passed=0
failed=0
status=0
stages=()

# Runs a stage and records how long it took.
timed() {
    local name=$1
    shift
    local start=$SECONDS
    "$@"
    local result=$?
    stages+=("$(printf '%-16s %4d s' "$name" $((SECONDS - start)))")
    return $result
}

build_preset() {
    local preset=$1
    mkdir -p build
    if ! cmake --preset "$preset" >"build/$preset-configure.log" 2>&1; then
        cat "build/$preset-configure.log"; echo "$preset: configure failed"; return 1
    fi
    if ! cmake --build --preset "$preset" >"build/$preset-build.log" 2>&1; then
        grep -E 'error|FAILED' "build/$preset-build.log" | head -40; echo "$preset: build failed"; return 1
    fi
}

test_preset() {
    local preset=$1
    local log="build/$preset-ctest.log"
    ctest --preset "$preset" 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    # "97% tests passed, 2 tests failed out of 67"
    local summary
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
    if [ -z "$summary" ]; then
        failed=$((failed + 1)); status=1; return
    fi
    local bad total
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

run_preset() {
    local preset=$1
    if timed "$preset build" build_preset "$preset"; then
        timed "$preset tests" test_preset "$preset"
    else
        failed=$((failed + 1)); status=1
    fi
}

# Five seconds a target: enough to catch a fault the seeds are near.
run_fuzz() {
    local log=build/fuzz-run.log
    mkdir -p build
    scripts/fuzz.sh 5 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    local ok bad
    ok=$(grep -cE '^fuzz [a-z_]+: .*, ok$' "$log")
    bad=$(grep -E '^fuzz [a-z_]+: ' "$log" | grep -cvE ', ok$')
    # Nothing ran: the tools or the build failed.
    [ $((ok + bad)) -gt 0 ] || bad=1
    passed=$((passed + ok))
    failed=$((failed + bad))
}

run_preset host
run_preset windows
timed fuzzing run_fuzz

echo
echo "stage times:"
printf '  %s\n' "${stages[@]}"
printf '  %-16s %4d s\n' total "$SECONDS"
echo "tests: $passed passed, $failed failed"
exit $status
