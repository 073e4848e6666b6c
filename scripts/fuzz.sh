#!/usr/bin/env bash
# The fuzz job: builds the libFuzzer targets in build-fuzz/ with clang (ASan
# and UBSan on), replays each committed seed corpus, then fuzzes each target
# for the given number of seconds (default 20). New inputs go to
# build-fuzz/corpus/<target>/, crashes to build-fuzz/artifacts/.
# Usage: scripts/fuzz.sh [seconds] [target...]
#   JOBS=n for the build; FUZZ_DIR=path for another build folder than build-fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(fuzz_state fuzz_param_text fuzz_png fuzz_text fuzz_process)
JOBS=${JOBS:-$(nproc)}
build=${FUZZ_DIR:-build-fuzz}

# clang and libFuzzer come with Debian's clang and its runtime package.
source scripts/deps.sh
tidepull_install_deps clang libclang-rt-14-dev
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "fuzz.sh: clang with libFuzzer is missing: apt-get install clang libclang-rt-14-dev" >&2
  exit 1
fi

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g" \
  -DTIDEPULL_FUZZ=ON -DTIDEPULL_TESTS=OFF -DTIDEPULL_BENCH=OFF -DTIDEPULL_WINDOWS_TESTS=OFF
cmake --build "$build" -j "$JOBS" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$PWD/tests/sanitizers/ubsan.supp"

mkdir -p "$build/artifacts"
for t in "${targets[@]}"; do
  seeds=fuzz/corpus/$t
  work=$build/corpus/$t
  mkdir -p "$work"
  echo "== $t: replaying $(ls "$seeds" | wc -l) seeds"
  "$build/fuzz/$t" -runs=0 -timeout=10 "$seeds"
  if [[ $seconds -gt 0 ]]; then
    # Room for a run of host calls or a whole PNG; the seeds are short.
    case $t in
      fuzz_process|fuzz_png) maxlen=2048 ;;
      *) maxlen=512 ;;
    esac
    echo "== $t: fuzzing for $seconds s"
    "$build/fuzz/$t" -max_total_time="$seconds" -max_len=$maxlen -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$t-" "$work" "$seeds"
  fi
done
echo "fuzz.sh: all targets clean"
