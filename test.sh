#!/usr/bin/env bash
# Builds Tidepull and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tidepull_install_deps

# The editor window's tests run each under a private X server of its own
# (tests/gui/x11/with-xvfb.sh); fail now, clearly, if none can start here.
if ! sh tests/gui/x11/with-xvfb.sh xdpyinfo >/dev/null; then
  echo "test.sh: cannot start a virtual X server (Xvfb) for the editor tests" >&2
  exit 1
fi

BUILD_DIR=${BUILD_DIR:-build}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEPULL_TESTS=ON -DTIDEPULL_BENCH=ON
cmake --build "$BUILD_DIR" -j "$JOBS"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS"
