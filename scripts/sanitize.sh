#!/usr/bin/env bash
# The sanitizer jobs.
#   build-asan/  every test under AddressSanitizer and UndefinedBehaviorSanitizer,
#                LeakSanitizer on; any report fails the run
#   build-tsan/  the threading tests (CTest label "threading") under ThreadSanitizer
# Usage: scripts/sanitize.sh [all|asan|tsan]
#   JOBS=n to set the parallelism; ASAN_DIR=path, TSAN_DIR=path for other
#   build folders than build-asan and build-tsan
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
what=${1:-all}
JOBS=${JOBS:-$(nproc)}
supp=$root/tests/sanitizers
asan_dir=${ASAN_DIR:-build-asan}
tsan_dir=${TSAN_DIR:-build-tsan}

# -O1: most of the speed of -O2 at a good part less compile time, and
# reports whose stacks still read well.
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
       "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g"
       "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g"
       -DTIDEPULL_TESTS=ON -DTIDEPULL_BENCH=OFF -DTIDEPULL_WINDOWS_TESTS=OFF)

# The options travel to the tests through CTest, and to the test discovery
# that runs the test programs while building.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_odr_violation=2"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$supp/tsan.supp"

start=$SECONDS
if [[ $what == all || $what == asan ]]; then
  cmake -S . -B "$asan_dir" "${flags[@]}" -DTIDEPULL_SANITIZE=address
  cmake --build "$asan_dir" -j "$JOBS"
  ctest --test-dir "$asan_dir" --output-on-failure -j "$JOBS" -LE soak
  echo "sanitize.sh: asan done after $((SECONDS - start)) s"
fi
if [[ $what == all || $what == tsan ]]; then
  cmake -S . -B "$tsan_dir" "${flags[@]}" -DTIDEPULL_SANITIZE=thread
  cmake --build "$tsan_dir" -j "$JOBS" --target tidepull_threading_tests
  ctest --test-dir "$tsan_dir" --output-on-failure -j "$JOBS" -L threading
  echo "sanitize.sh: tsan done after $((SECONDS - start)) s"
fi
