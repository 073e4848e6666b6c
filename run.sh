#!/usr/bin/env bash
# Builds Tidepull, installs the plug-in bundles into ~/.vst3 and ~/.lv2, and renders the
# built-in demo through the installed bundle to tidepull-demo.wav.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tidepull_install_deps

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEPULL_TESTS=OFF -DTIDEPULL_BENCH=OFF
cmake --build "$BUILD_DIR" -j "$(nproc)" --target Tidepull tidepull-render tidepull_factory_presets tidepull_bundle_resources \
  tidepull_lv2_bundle
cmake --install "$BUILD_DIR" --component plugin >/dev/null

BUNDLE="$HOME/.vst3/Tidepull.vst3"
OUT="$PWD/tidepull-demo.wav"
"$BUILD_DIR/tidepull-render" --plugin "$BUNDLE" \
  --set "AC Threshold=24" --set "DC Threshold=4" --set "Release=1" --set "Output=10" "$OUT"
echo
echo "Plug-in installed: $BUNDLE"
echo "                   $HOME/.lv2/Tidepull.lv2"
echo "Demo rendered:     $OUT"
