#!/usr/bin/env bash
# bash bench/fuzz.sh [SECONDS | TARGET=SECONDS ...]: runs each fuzz target
# (hotkey_config, shelf_restore, drop_data) for SECONDS (default 600 each),
# or only the targets named, each for its own time, on the sanitizer build
# in ${FUZZ_BUILD:-build-sanitize} (configured and built here if needed).
# Prints the executions and the crashes and leaks found; inputs that fail
# are kept in the build's fuzz-findings folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${FUZZ_BUILD:-build-sanitize}
declare -A seconds=()
targets=()
for arg in "${@:-600}"; do
    case $arg in
    *=*) targets+=("${arg%%=*}") seconds[${arg%%=*}]=${arg#*=} ;;
    *) targets=(hotkey_config shelf_restore drop_data)
       for t in "${targets[@]}"; do seconds[$t]=$arg; done ;;
    esac
done

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DZORV_FUZZ=ON
fi
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

build=$(readlink -f "$build")
findings=$build/fuzz-findings/$(date +%Y%m%d-%H%M%S)
mkdir -p "$findings"
# The settings are synced after every write: on tmpfs that costs nothing.
shm=/dev/shm; [ -w "$shm" ] || shm=${TMPDIR:-/tmp}
scratch=$(mktemp -d "$shm/zorv-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

total_runs=0 total_crashes=0 total_leaks=0 failed=0
for target in "${targets[@]}"; do
    mkdir -p "$scratch/$target/corpus" "$scratch/$target/files"
    log="$findings/$target.log"
    set +e
    (cd "$scratch/$target" && ZORV_FUZZ_SCRATCH="$scratch/$target/files" "$build/fuzz_$target" \
        -max_total_time="${seconds[$target]}" -max_len=4096 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/$target-" "$scratch/$target/corpus" "$root/tests/fuzz/corpus/$target" \
        >"$log" 2>&1) 2>/dev/null
    status=$? # libFuzzer stops at the first failing input
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
    crashes=$(find "$findings" -maxdepth 1 -name "$target-crash-*" -o -maxdepth 1 -name "$target-oom-*" \
        -o -maxdepth 1 -name "$target-timeout-*" | wc -l)
    leaks=$(find "$findings" -maxdepth 1 -name "$target-leak-*" | wc -l)
    echo "$target: ${runs:-0} executions, exit $status, crashes $crashes, leaks $leaks (log $log)"
    # A run that ended otherwise, or never started, is a failure too.
    [ "$status" -eq 0 ] && [ "${runs:-0}" -gt 0 ] || failed=$((failed + 1))
    total_runs=$((total_runs + ${runs:-0}))
    total_crashes=$((total_crashes + crashes))
    total_leaks=$((total_leaks + leaks))
done
echo "total: $total_runs executions, $total_crashes crashes, $total_leaks leaks, $failed failed runs"
[ "$total_crashes" -eq 0 ] && [ "$total_leaks" -eq 0 ] && [ "$failed" -eq 0 ]
