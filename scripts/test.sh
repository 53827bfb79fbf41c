#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the Windows programs and their
# tests under Wine, the portable logic on the host under AddressSanitizer and
# UndefinedBehaviorSanitizer (the host-sanitize preset), a short run of each fuzz target,
# which counts as one test, and a check that every source file is laid out as .clang-format
# says, which counts as one more. Prints the time of each stage and ends with one line
# "tests: N passed, N failed"; exits non-zero when anything failed.
#
# Beside the Windows build and tests run the host build and tests and fuzzing: their builds
# only on processor time that nothing else wants, their runs at a lower priority. Each stage
# logs to its own file under build/; the logs are printed whole, in stage order.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh || { echo "tests: 0 passed, 1 failed (could not install the tools)"; exit 1; }
# The fuzz targets' compiler and the layout checker, installed here so that nothing installs while stages run.
scripts/install-deps.sh clang libclang-rt-14-dev clang-format ||
    { echo "tests: 0 passed, 1 failed (could not install clang)"; exit 1; }

results=build/test-results
rm -rf "$results"
mkdir -p "$results"

# Runs a stage with its output in $results/NAME.log and records how long it took and
# how many tests passed and failed in $results/NAME.result.
stage() {
    local name=$1
    shift
    local start=$SECONDS
    STAGE_PASSED=0
    STAGE_FAILED=0
    "$@" >"$results/$name.log" 2>&1
    local result=$?
    echo "$((SECONDS - start)) $STAGE_PASSED $STAGE_FAILED $result" >"$results/$name.result"
    return $result
}

build_preset() {
    local preset=$1
    if ! cmake --preset "$preset" >"build/$preset-configure.log" 2>&1; then
        cat "build/$preset-configure.log"; echo "$preset: configure failed"; STAGE_FAILED=1; return 1
    fi
    if ! cmake --build --preset "$preset" >"build/$preset-build.log" 2>&1; then
        grep -E 'error|FAILED' "build/$preset-build.log" | head -40; echo "$preset: build failed"
        STAGE_FAILED=1; return 1
    fi
    echo "$preset: built (log build/$preset-build.log)"
}

# The host tests' build, and the same sources again without unity batches, built only: a
# header that a file forgets to include shows there.
build_host() {
    build_preset host-sanitize && build_preset host-single
}

test_preset() {
    local preset=$1
    local log="build/$preset-ctest.log"
    ctest --preset "$preset" >"$log" 2>&1
    local result=$?
    cat "$log"
    # "97% tests passed, 2 tests failed out of 67"
    local summary
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
    if [ -z "$summary" ]; then
        STAGE_FAILED=1; return 1
    fi
    local bad total
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
    STAGE_PASSED=$((total - bad))
    STAGE_FAILED=$bad
    return $result
}

# Every C and C++ file in the layout of .clang-format; counts as one test.
check_format() {
    if git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror; then
        echo "format: every file as clang-format lays it out"; STAGE_PASSED=1
    else
        echo "format: the files above differ from clang-format's layout (run clang-format -i on them)"; STAGE_FAILED=1
        return 1
    fi
}

# Five seconds a target: enough to catch a fault the seeds are near.
run_fuzz() {
    local log=build/fuzz-run.log
    scripts/fuzz.sh 5 >"$log" 2>&1
    local result=$?
    cat "$log"
    local ok bad
    ok=$(grep -cE '^fuzz [a-z_]+: .*, ok$' "$log")
    bad=$(grep -E '^fuzz [a-z_]+: ' "$log" | grep -cvE ', ok$')
    # Nothing ran: the tools or the build failed.
    [ $((ok + bad)) -gt 0 ] || bad=1
    STAGE_PASSED=$ok
    STAGE_FAILED=$bad
    return $result
}

echo "building and running the Windows programs and tests; beside them the host tests (sanitizers) and fuzzing"
(
    # The builds beside wait for idle processor time (an idle-class scheduling policy, or
    # the lowest priority where that is refused): the Windows build and the programs under
    # Wine go first. The host tests and fuzzing then run at a lower priority rather than an
    # idle one, since their timeouts count wall time.
    (
        chrt --idle --pid 0 "$BASHPID" 2>/dev/null || renice -n 19 -p "$BASHPID" >/dev/null
        stage format check_format
        stage "host build" build_host
        host_built=$?
        # A failure here shows again in the fuzzing stage, which builds them first.
        scripts/fuzz.sh --build >/dev/null 2>&1
        exit $host_built
    )
    host_built=$?
    renice -n 10 -p "$BASHPID" >/dev/null
    [ "$host_built" -eq 0 ] && stage "host tests" test_preset host-sanitize
    stage fuzzing run_fuzz
) &
# The Wine prefix that the test sessions copy is booted while the programs build.
cmake/wine-session.sh prepare build/windows/wine </dev/null >/dev/null 2>&1 &
stage "windows build" build_preset windows && stage "windows tests" test_preset windows
wait

passed=0
failed=0
status=0
times=()
for name in format "host build" "host tests" "windows build" "windows tests" fuzzing; do
    [ -f "$results/$name.result" ] || continue
    read -r seconds stage_passed stage_failed result <"$results/$name.result"
    echo
    echo "== $name"
    cat "$results/$name.log"
    passed=$((passed + stage_passed))
    failed=$((failed + stage_failed))
    [ "$result" -eq 0 ] || status=1
    times+=("$(printf '%-16s %4d s' "$name" "$seconds")")
done

[ "$failed" -eq 0 ] || status=1

echo
echo "stage times (host and fuzzing ran beside the Windows build and tests):"
printf '  %s\n' "${times[@]}"
printf '  %-16s %4d s\n' total "$SECONDS"
echo "tests: $passed passed, $failed failed"
exit $status
