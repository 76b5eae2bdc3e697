#!/usr/bin/env bash
# Installs what is missing, builds Zorv into build/ and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORV_TESTS=OFF
cmake --build build -j"$(nproc)"
exec ./build/zorv
