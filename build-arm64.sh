#!/usr/bin/env bash
# Builds Tidepull for 64-bit ARM Linux (Raspberry Pi 4/5, ARM laptops) on this
# x86-64 machine, with Debian's aarch64 cross compiler and the arm64
# multiarch libraries:
#
#   ./build-arm64.sh
#
# Result, in build-arm64/:
#   Tidepull.vst3/Contents/aarch64-linux/Tidepull.so with the bundle's
#     resources (moduleinfo.json and the editor snapshots, written by the arm64
#     tools under qemu-aarch64) and presets/;
#   Tidepull.lv2/, the LV2 bundle with the arm64 modules;
#   tidepull-render, tidepull-snapshot and the other tools, and the test
#     programs of the engine, the plug and the bitmaps, all arm64 (run them
#     here with qemu-aarch64);
#   universal/Tidepull.vst3: one bundle with Contents/x86_64-linux and
#     Contents/aarch64-linux, made when an x86-64 build is at hand.
# The arm64 .deb: (cd build-arm64 && cpack --config CPackConfig.cmake).
#
# Installs what it needs on the first run (scripts/build-arm64-deps.sh).
# BUILD_ARM64_DIR overrides build-arm64/, LINUX_BUILD_DIR names the x86-64
# build the universal bundle starts from (default build/), JOBS the parallel
# jobs (2).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")" >/dev/null && pwd)
BUILD_ARM64_DIR=${BUILD_ARM64_DIR:-$ROOT/build-arm64}
LINUX_BUILD_DIR=${LINUX_BUILD_DIR:-$ROOT/build}
JOBS=${JOBS:-2}
READELF=aarch64-linux-gnu-readelf
NM=aarch64-linux-gnu-nm

fail() { echo "build-arm64: $*" >&2; exit 1; }

"$ROOT/scripts/build-arm64-deps.sh"

cmake -S "$ROOT" -B "$BUILD_ARM64_DIR" \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-aarch64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTIDEPULL_TESTS=ON -DTIDEPULL_BENCH=OFF -DTIDEPULL_WINDOWS_TESTS=OFF >/dev/null
cmake --build "$BUILD_ARM64_DIR" -j "$JOBS"

VST3_ARM=$BUILD_ARM64_DIR/Tidepull.vst3/Contents/aarch64-linux/Tidepull.so
LV2_ARM=$BUILD_ARM64_DIR/Tidepull.lv2
MODULES=("$VST3_ARM" "$LV2_ARM/Tidepull.so" "$LV2_ARM/Tidepull_ui.so")

# What an ARM host will see: AArch64 code, and the entry points alone.
for module in "${MODULES[@]}"; do
  machine=$("$READELF" -h "$module" | sed -n 's/^ *Machine: *//p')
  [ "$machine" = AArch64 ] || fail "$module is built for '$machine', not AArch64"
done
exports() { "$1" -D --defined-only "$2" | awk '{ print $NF }' | sort | tr '\n' ' '; }
[ "$(exports "$NM" "$VST3_ARM")" = "ExitDll GetPluginFactory InitDll ModuleEntry ModuleExit " ] ||
  fail "Tidepull.so exports '$(exports "$NM" "$VST3_ARM")'"
[ "$(exports "$NM" "$LV2_ARM/Tidepull.so")" = "lv2_descriptor " ] || fail "the LV2 DSP module exports more than lv2_descriptor"
[ "$(exports "$NM" "$LV2_ARM/Tidepull_ui.so")" = "lv2ui_descriptor " ] || fail "the LV2 UI module exports more than lv2ui_descriptor"

# One bundle for both: the x86-64 build's, with the arm64 library beside its
# own. It keeps one moduleinfo.json, so the arm64 module must have answered
# the same.
X86_BUNDLE=$LINUX_BUILD_DIR/Tidepull.vst3
UNIVERSAL=$BUILD_ARM64_DIR/universal/Tidepull.vst3
if [ -f "$X86_BUNDLE/Contents/x86_64-linux/Tidepull.so" ] && [ -f "$X86_BUNDLE/Contents/Resources/moduleinfo.json" ]; then
  cmp -s "$X86_BUNDLE/Contents/Resources/moduleinfo.json" "$BUILD_ARM64_DIR/Tidepull.vst3/Contents/Resources/moduleinfo.json" ||
    fail "the arm64 module's moduleinfo.json differs from the x86-64 one's"
  rm -rf "$(dirname "$UNIVERSAL")"
  mkdir -p "$(dirname "$UNIVERSAL")"
  cp -a "$X86_BUNDLE" "$UNIVERSAL"
  mkdir -p "$UNIVERSAL/Contents/aarch64-linux"
  cp -a "$VST3_ARM" "$UNIVERSAL/Contents/aarch64-linux/"
  echo "build-arm64: $UNIVERSAL (x86_64-linux and aarch64-linux)"
else
  echo "build-arm64: no x86-64 bundle in $LINUX_BUILD_DIR (build it first, or set LINUX_BUILD_DIR); no universal bundle made"
fi
echo "build-arm64: $VST3_ARM"
