#!/usr/bin/env bash
# Installs what is missing, builds Zorv and its tests with warnings as
# errors, and runs every test: unit tests offscreen, end-to-end tests on
# private X servers. Then builds the unit tests again with AddressSanitizer
# and UndefinedBehaviorSanitizer (clang, with the fuzz targets) and runs
# them, each fuzz target for a short, fixed number of inputs, and the
# end-to-end cases labelled sanitized on the sanitized zorv. Needs no
# display of its own. End-to-end tests with input timing of their own run
# alone (see tests/CMakeLists.txt); the rest run side by side. With ccache
# installed, both builds go through it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORV_WERROR=ON -DZORV_TESTS=ON "${launcher[@]}"
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)" | tee build/ctest.log
# A Wayland case skips where its compositor cannot start. As root, as in CI,
# every compositor starts here, so a skip means the harness broke.
if [ "$(id -u)" -eq 0 ] && grep -q '(Skipped)' build/ctest.log; then
    echo "These tests were skipped, though every compositor can start as root:" >&2
    grep '(Skipped)' build/ctest.log >&2
    exit 1
fi

cmake -S . -B build-sanitize -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DZORV_FUZZ=ON -DZORV_TESTS=ON \
    "${launcher[@]}"
cmake --build build-sanitize -j"$(nproc)" --target zorv zorv_unit_tests fuzz_hotkey_config fuzz_shelf_restore fuzz_drop_data
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" -L '^(unit|fuzz|sanitized)$'
