#!/usr/bin/env bash
# Installs what is missing, builds Zorv and its tests with warnings as
# errors, and runs every test: unit tests offscreen, end-to-end tests on
# private X servers. Needs no display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORV_WERROR=ON -DZORV_TESTS=ON
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
