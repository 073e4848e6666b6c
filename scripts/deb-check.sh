#!/usr/bin/env bash
# Checks the Linux package end to end, as on a fresh machine:
#
#   scripts/deb-check.sh [BUILD_DIR]      (default: $BUILD_DIR, else build)
#
# builds the .deb with CPack, installs it with dpkg -i, renders a short file
# through the installed bundle (/usr/lib/vst3/Tidepull.vst3) with one of the
# installed factory presets, and removes the package again. Needs root (or
# sudo). Refuses to run while a tidepull package is already installed.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." >/dev/null && pwd)
BUILD_DIR=$(cd "${1:-${BUILD_DIR:-$ROOT/build}}" >/dev/null && pwd)
JOBS=${JOBS:-2}
BUNDLE=/usr/lib/vst3/Tidepull.vst3
PRESETS=/usr/share/vst3/presets/Quillmarch/Tidepull
LV2_BUNDLE=/usr/lib/lv2/Tidepull.lv2

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
fail() { echo "deb-check: $*" >&2; exit 1; }

if dpkg-query -W -f='${Status}' tidepull 2>/dev/null | grep -q "install ok installed"; then
  fail "a tidepull package is installed already; remove it first (dpkg -r tidepull)"
fi

cmake --build "$BUILD_DIR" -j "$JOBS" --target Tidepull tidepull-render tidepull_factory_presets tidepull_bundle_resources \
  tidepull_lv2_bundle
rm -rf "$BUILD_DIR/packages"
(cd "$BUILD_DIR" && cpack --config CPackConfig.cmake >/dev/null)
DEB=$(ls "$BUILD_DIR"/packages/tidepull_*.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || fail "cpack wrote no .deb into $BUILD_DIR/packages"
echo "deb-check: built $DEB"
dpkg-deb --info "$DEB" | sed -n 's/^ \(Depends\|Version\|Architecture\):/  \1:/p'

WORK=$(mktemp -d)
installed=0
cleanup() {
  if [ "$installed" -eq 1 ]; then
    $sudo dpkg -r tidepull >/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

# dpkg -i does not fetch dependencies; apt-get does, for what dpkg left unconfigured.
if ! $sudo dpkg -i "$DEB"; then
  installed=1
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -f -y -qq --no-install-recommends
fi
installed=1
dpkg-query -W -f='${Status}' tidepull | grep -q "install ok installed" || fail "tidepull did not install"

# What the package put where hosts look.
LIB="$BUNDLE/Contents/$(uname -m)-linux/Tidepull.so"
[ -f "$LIB" ] || fail "no $LIB"
[ -f "$BUNDLE/Contents/Resources/moduleinfo.json" ] || fail "no moduleinfo.json in $BUNDLE"
ls "$BUNDLE"/Contents/Resources/Snapshots/*_snapshot.png >/dev/null 2>&1 || fail "no snapshot in $BUNDLE"
expected=$(ls "$BUILD_DIR/presets" | wc -l)
found=$(ls "$PRESETS" 2>/dev/null | grep -c '\.vstpreset$' || true)
[ "$found" -eq "$expected" ] && [ "$found" -gt 0 ] || fail "$found presets in $PRESETS, expected $expected"
for f in manifest.ttl Tidepull.ttl presets.ttl Tidepull.so; do
  [ -f "$LV2_BUNDLE/$f" ] || fail "no $f in $LV2_BUNDLE"
done
# Debian's machine-readable copyright file, naming the licences.
COPYRIGHT=/usr/share/doc/tidepull/copyright
head -n 1 "$COPYRIGHT" 2>/dev/null | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "no machine-readable $COPYRIGHT"
grep -q '^License: GPL-3.0-or-later$' "$COPYRIGHT" && grep -q '^License: GPL-3.0-only or VST3-License$' "$COPYRIGHT" ||
  fail "$COPYRIGHT does not name the plug-in's and the SDK's licences"

# A host loads the installed bundle and an installed preset.
out=$("$BUILD_DIR/tidepull-render" --plugin "$BUNDLE" --preset "$PRESETS/Bus Glue.vstpreset" \
        --save-preset "$WORK/saved.vstpreset" "$WORK/out.wav")
echo "$out" | sed 's/^/  /'
echo "$out" | grep -q "($BUNDLE)" || fail "tidepull-render did not use $BUNDLE"
[ -s "$WORK/out.wav" ] && [ -s "$WORK/saved.vstpreset" ] || fail "tidepull-render wrote no output"

$sudo dpkg -r tidepull >/dev/null
installed=0
[ ! -e "$BUNDLE" ] || fail "$BUNDLE is still there after dpkg -r"
[ ! -e "$PRESETS" ] || fail "$PRESETS is still there after dpkg -r"
[ ! -e "$LV2_BUNDLE" ] || fail "$LV2_BUNDLE is still there after dpkg -r"
echo "deb-check: installed, rendered through $BUNDLE, removed: OK"
