#!/usr/bin/env bash
# Hardening checks, beside scripts/test.sh:
#  1. the whole test suite built with AddressSanitizer and
#     UndefinedBehaviorSanitizer (build-asan); any sanitizer report fails the
#     run, including the large-file limits (PELARIN_LIMITS_LARGE=1);
#  2. the libFuzzer targets built with clang (build-fuzz); each replays its
#     seed corpus and earlier crashes, then fuzzes for FUZZ_SECONDS (60 by
#     default). A crashing input is copied to fuzz/regressions/<target>/, where
#     every later run replays it, and fails the run.
# Usage: scripts/test-hardening.sh [sanitize|fuzz|all]   (default all)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

what=${1:-all}
fuzz_seconds=${FUZZ_SECONDS:-60}
jobs=$(nproc)
targets=(fuzz_ledger_load fuzz_catalogue_load fuzz_validator fuzz_price_parse)
failed=0

bash scripts/setup.sh test

# Every report goes to a file as well as failing its process, so a report
# from a process whose exit code nobody checks still fails the run.
sanitizer_environment() {
    local logs=$1
    export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:log_path=$logs/asan:log_exe_name=1"
    export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1:log_path=$logs/ubsan:log_exe_name=1"
    export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
    # On X11, Qt loads its GLX integration with the first window, and with
    # it the system's OpenGL driver (Mesa), which keeps memory it never frees
    # and is unloaded before the leak check runs, so its frames cannot even
    # be named in a suppression. The program draws nothing with OpenGL:
    # without the integration the X11 checks run the same widgets, and every
    # leak left to report is one of ours or one the suppressions name.
    export QT_XCB_GL_INTEGRATION=none
}

# libFuzzer prints reports itself and keeps the input; its exit code fails.
fuzzer_environment() {
    export ASAN_OPTIONS="detect_leaks=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
}

report_logs() {
    local logs=$1 name=$2
    local found=0
    for log in "$logs"/*; do
        [ -e "$log" ] || continue
        found=1
        echo "---- $name: sanitizer report $(basename "$log")"
        cat "$log"
    done
    return $found
}

run_sanitized_suite() {
    local start=$SECONDS
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELARIN_SANITIZE=ON \
        -DPELARIN_BUILD_BENCH=OFF >/dev/null || return 1
    cmake --build build-asan -j"$jobs" || return 1
    local logs=$root/build-asan/sanitizer-logs
    rm -rf "$logs" && mkdir -p "$logs"
    local status=0
    (
        cd build-asan
        sanitizer_environment "$logs"
        export PELARIN_LIMITS_LARGE=1
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs"
    ) || status=1
    report_logs "$logs" "sanitized suite" || status=1
    echo "hardening: sanitized suite $( [ $status -eq 0 ] && echo passed || echo FAILED ) in $((SECONDS - start)) s"
    return $status
}

run_fuzzers() {
    local start=$SECONDS
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELARIN_FUZZ=ON \
        -DPELARIN_BUILD_TESTS=OFF -DPELARIN_BUILD_BENCH=OFF >/dev/null || return 1
    cmake --build build-fuzz -j"$jobs" --target "${targets[@]}" || return 1
    local status=0
    for target in "${targets[@]}"; do
        # Absolute paths: a target may change its working directory.
        local binary=$root/build-fuzz/fuzz/$target
        local seeds=$root/fuzz/corpus/$target
        local regressions=$root/fuzz/regressions/$target
        local work=$root/fuzz/corpus-work/$target
        local artifacts=$root/build-fuzz/artifacts/$target
        local logs=$root/build-fuzz/fuzz-logs/$target
        rm -rf "$artifacts" "$logs"
        mkdir -p "$work" "$artifacts" "$logs" "$regressions"

        # Replay: every seed and every earlier crash, once each.
        local files=()
        for file in "$seeds"/* "$regressions"/*; do [ -f "$file" ] && files+=("$file"); done
        if ! (fuzzer_environment && "$binary" "${files[@]}" >"$logs/replay.txt" 2>&1); then
            echo "hardening: $target failed replaying its corpus"
            grep -E -A 30 'ERROR|runtime error|fuzz_[a-z_]+: ' "$logs/replay.txt" | head -n 60 || true
            status=1
            continue
        fi
        echo "hardening: $target replayed ${#files[@]} inputs"

        # Fuzz for a bounded time; new inputs go to the untracked work corpus.
        local fuzz_status=0
        (
            fuzzer_environment
            "$binary" -max_total_time="$fuzz_seconds" -timeout=20 -max_len=8192 -print_final_stats=1 \
                -artifact_prefix="$artifacts/" "$work" "$seeds" >"$logs/fuzz.txt" 2>&1
        ) || fuzz_status=1
        local executions
        executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/fuzz.txt" | tail -n 1)
        echo "hardening: $target ran ${executions:-?} inputs in ${fuzz_seconds} s"
        local crashes=0
        for artifact in "$artifacts"/*; do
            [ -f "$artifact" ] || continue
            crashes=$((crashes + 1))
            cp "$artifact" "$regressions/$(basename "$artifact")"
            echo "hardening: $target crashed; input kept as $regressions/$(basename "$artifact")"
        done
        if [ $fuzz_status -ne 0 ] || [ $crashes -ne 0 ]; then
            grep -E -A 30 'ERROR|runtime error|fuzz_[a-z_]+: ' "$logs/fuzz.txt" | head -n 60 || true
            status=1
        fi
    done
    echo "hardening: fuzzing $( [ $status -eq 0 ] && echo passed || echo FAILED ) in $((SECONDS - start)) s"
    return $status
}

case $what in
    sanitize) run_sanitized_suite || failed=1 ;;
    fuzz) run_fuzzers || failed=1 ;;
    all)
        run_sanitized_suite || failed=1
        run_fuzzers || failed=1
        ;;
    *) echo "usage: $0 [sanitize|fuzz|all]" >&2; exit 2 ;;
esac
exit $failed
