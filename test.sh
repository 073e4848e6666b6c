#!/usr/bin/env bash
# Builds Tidepull and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tidepull_install_deps

BUILD_DIR=${BUILD_DIR:-build}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEPULL_TESTS=ON -DTIDEPULL_BENCH=ON
cmake --build "$BUILD_DIR" -j "$JOBS"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS"
