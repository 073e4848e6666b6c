#!/usr/bin/env bash
# Builds Tidepull and runs every test:
#   1. the Linux build and its whole test suite, which also cross-builds the
#      Windows plug-in and runs its test program under Wine;
#   2. the arm64 build (build-arm64.sh): its test programs under qemu-aarch64,
#      its renders and editor pictures against the x86-64 build's, its .deb
#      (the tests labelled arm64; the stage prints how long it took);
#   3. the test suite under AddressSanitizer and UndefinedBehaviorSanitizer,
#      and the threading tests under ThreadSanitizer (scripts/sanitize.sh);
#   4. every fuzz target: its seed corpus replayed, then fuzzed briefly
#      (scripts/fuzz.sh; FUZZ_SECONDS, default 20 per target);
#   5. the .deb: built, installed, a host finds the plug-in, removed
#      (scripts/deb-check.sh; needs root or sudo).
# QUICK=1 runs only the first.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tidepull_install_deps "${TIDEPULL_TEST_PACKAGES[@]}"

# The editor window's tests run each under a private X server of its own
# (tests/gui/x11/with-xvfb.sh); fail now, clearly, if none can start here.
if ! sh tests/gui/x11/with-xvfb.sh xdpyinfo >/dev/null; then
  echo "test.sh: cannot start a virtual X server (Xvfb) for the editor tests" >&2
  exit 1
fi

BUILD_DIR=${BUILD_DIR:-build}
export JOBS=${JOBS:-$(nproc)}
stage() { echo; echo "== test.sh: $* ($(date -u +%H:%M:%S))"; }

stage "build and test"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEPULL_TESTS=ON -DTIDEPULL_BENCH=ON \
  -DTIDEPULL_WINDOWS_TESTS=ON -DTIDEPULL_ARM64_TESTS=ON
cmake --build "$BUILD_DIR" -j "$JOBS"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS" --label-exclude arm64
[ "${QUICK:-0}" = 1 ] && exit 0

stage "arm64: cross-built, run under qemu-aarch64"
arm64_start=$SECONDS
arm64_status=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS" --label-regex arm64 || arm64_status=$?
arm64_seconds=$((SECONDS - arm64_start))
echo "test.sh: the arm64 stage took $((arm64_seconds / 60)) min $((arm64_seconds % 60)) s"
[ "$arm64_status" -eq 0 ] || exit "$arm64_status"

stage "sanitizers"
scripts/sanitize.sh all
stage "fuzzing"
scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
stage "the .deb package"
scripts/deb-check.sh "$BUILD_DIR"
stage "all passed"
