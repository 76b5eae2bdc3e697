#!/usr/bin/env bash
# smoke.sh FUZZER CORPUS RUNS: a short, repeatable fuzzing run from the seed
# corpus. New inputs go to a scratch folder, never into the repository.
set -euo pipefail
fuzzer=$1 corpus=$2 runs=$3
# The settings are synced after every write: on tmpfs that costs nothing.
shm=/dev/shm; [ -w "$shm" ] || shm=${TMPDIR:-/tmp}
scratch=$(mktemp -d "$shm/zorv-fuzz-smoke.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/new" "$scratch/files"
cd "$scratch"
set +e
ZORV_FUZZ_SCRATCH="$scratch/files" "$fuzzer" -runs="$runs" -seed=1 -max_len=4096 \
    -artifact_prefix="$scratch/" -print_final_stats=1 "$scratch/new" "$corpus" 2>&1 | tail -n 25
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
    for artifact in "$scratch"/crash-* "$scratch"/leak-* "$scratch"/oom-* "$scratch"/timeout-*; do
        [ -e "$artifact" ] && { echo "input that failed ($artifact), base64:"; base64 "$artifact"; }
    done
    exit "$status"
fi
