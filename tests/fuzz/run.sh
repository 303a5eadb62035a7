#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time each, keeping a corpus per
# target under the build tree. Builds nothing. Prints "check passed: T" or "check failed: T" for
# each target and exits non-zero when a target finds a crash.
#   tests/fuzz/run.sh [seconds per target, default 20] [build directory, default build/fuzz]
set -uo pipefail

seconds=${1:-20}
build=${2:-build/fuzz}
here=$(cd "$(dirname "$0")" && pwd)
targets=(fuzz_cmdline fuzz_handoff)

status=0
for target in "${targets[@]}"; do
    binary="$build/tests/fuzz/$target"
    if [ ! -x "$binary" ]; then
        echo "run.sh: $binary is missing; build the fuzz preset first" >&2
        exit 2
    fi
    corpus="$build/fuzz-corpus/$target"
    artifacts="$build/fuzz-artifacts/$target/"
    mkdir -p "$corpus" "$artifacts"
    dict=()
    [ -f "$here/$target.dict" ] && dict=(-dict="$here/$target.dict")
    echo "== $target: ${seconds}s, corpus $corpus"
    log="$build/fuzz-artifacts/$target.log"
    "$binary" "${dict[@]}" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$artifacts" "$corpus" >"$log" 2>&1
    rc=$?
    grep -E '^(stat::number_of_executed_units|stat::new_units_added|#[0-9]+ +DONE)' "$log"
    if [ $rc -ne 0 ]; then
        echo "check failed: $target (exit $rc); see $log and $artifacts"
        tail -n 40 "$log" >&2
        status=1
    else
        echo "check passed: $target"
    fi
done
exit $status
