#!/usr/bin/env bash
# Checks the arm64 package on this x86-64 machine, without installing it
# into the machine's own system:
#
#   scripts/deb-check-arm64.sh [BUILD_ARM64_DIR] [LINUX_BUILD_DIR]
#                              (defaults: build-arm64 and build)
#
# builds tidepull_<version>_arm64.deb with CPack from the arm64 cross build
# (build-arm64.sh), reads its control data (architecture arm64, dependencies
# apt resolves among the arm64 libraries) and its file list (dpkg-deb -c),
# installs it with dpkg --root into a folder of its own, renders a factory
# preset through the installed bundle with the arm64 tidepull-render under
# qemu-aarch64 and compares it with the x86-64 build's render of the same
# preset, and removes the package again.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." >/dev/null && pwd)
ARM=$(cd "${1:-$ROOT/build-arm64}" >/dev/null && pwd)
X86=$(cd "${2:-$ROOT/build}" >/dev/null && pwd)
PRESET="Bus Glue"

fail() { echo "deb-check-arm64: $*" >&2; exit 1; }

rm -rf "$ARM/packages"
(cd "$ARM" && cpack --config CPackConfig.cmake) >"$ARM/cpack.log" 2>&1 || { cat "$ARM/cpack.log" >&2; fail "cpack failed"; }
DEB=$(ls "$ARM"/packages/tidepull_*_arm64.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || fail "cpack wrote no tidepull_*_arm64.deb into $ARM/packages"
echo "deb-check-arm64: built $DEB"

[ "$(dpkg-deb -f "$DEB" Architecture)" = arm64 ] || fail "the package is for $(dpkg-deb -f "$DEB" Architecture)"
depends=$(dpkg-deb -f "$DEB" Depends)
echo "  Depends: $depends"
for lib in libc6 libstdc++6 libpng16-16 libfreetype6 libfontconfig1 libx11-6; do
  [[ ", $depends" == *", $lib"* ]] || fail "the package does not depend on $lib"
done
# apt finds every dependency among the arm64 packages (installed here as the
# cross build's libraries), as it would on an ARM machine; nothing installed.
plan=$(apt-get install -s --no-install-recommends "$DEB" 2>&1) || fail "apt cannot resolve the package: $plan"
grep -q '^Inst tidepull:arm64 ' <<<"$plan" || fail "apt would not install tidepull:arm64: $plan"
! grep -q '^Remv ' <<<"$plan" || fail "apt would remove packages for it: $plan"

# Where hosts look, from the package's own file list.
# (permissions, owner, size, date and time come first; names may hold spaces)
listing=$(dpkg-deb -c "$DEB" | sed -E 's/^([^ ]+ +){5}//; s|^\./|/|')
for f in /usr/lib/vst3/Tidepull.vst3/Contents/aarch64-linux/Tidepull.so \
         /usr/lib/vst3/Tidepull.vst3/Contents/Resources/moduleinfo.json \
         /usr/lib/lv2/Tidepull.lv2/Tidepull.so /usr/lib/lv2/Tidepull.lv2/Tidepull_ui.so \
         /usr/lib/lv2/Tidepull.lv2/manifest.ttl /usr/lib/lv2/Tidepull.lv2/Tidepull.ttl \
         /usr/lib/lv2/Tidepull.lv2/presets.ttl "/usr/share/vst3/presets/Quillmarch/Tidepull/$PRESET.vstpreset" \
         /usr/share/doc/tidepull/copyright; do
  grep -qxF "$f" <<<"$listing" || fail "the package has no $f"
done
! grep -q 'x86_64' <<<"$listing" || fail "the arm64 package carries x86-64 files"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
TARGET=$WORK/root
mkdir -p "$TARGET/var/lib/dpkg/info" "$TARGET/var/lib/dpkg/updates"
touch "$TARGET/var/lib/dpkg/status"
dpkg --root="$TARGET" --add-architecture arm64
# Its dependencies are this machine's, not the empty folder's.
dpkg --root="$TARGET" --force-depends -i "$DEB" >/dev/null 2>"$WORK/dpkg.err" || {
  cat "$WORK/dpkg.err" >&2
  fail "dpkg --root could not install the package"
}
dpkg-query --admindir="$TARGET/var/lib/dpkg" -W -f='${Status} ${Architecture}\n' tidepull |
  grep -qx "install ok installed arm64" || fail "tidepull:arm64 is not installed in $TARGET"
BUNDLE=$TARGET/usr/lib/vst3/Tidepull.vst3
PRESETS=$TARGET/usr/share/vst3/presets/Quillmarch/Tidepull
[ "$(ls "$PRESETS" | grep -c '\.vstpreset$')" -eq "$(ls "$X86/presets" | grep -c '\.vstpreset$')" ] ||
  fail "the installed presets are not the x86-64 build's"
cmp -s "$BUNDLE/Contents/Resources/moduleinfo.json" "$X86/Tidepull.vst3/Contents/Resources/moduleinfo.json" ||
  fail "the installed moduleinfo.json is not the x86-64 build's"
for f in manifest.ttl Tidepull.ttl presets.ttl; do
  cmp -s "$TARGET/usr/lib/lv2/Tidepull.lv2/$f" "$X86/Tidepull.lv2/$f" || fail "the installed $f is not the x86-64 build's"
done

# A host on ARM: the arm64 tool loads the installed bundle and preset.
out=$(qemu-aarch64 "$ARM/tidepull-render" --plugin "$BUNDLE" --preset "$PRESETS/$PRESET.vstpreset" --precision 64 \
        "$WORK/arm64.wav")
echo "$out" | sed 's/^/  /'
grep -qF "($BUNDLE)" <<<"$out" || fail "tidepull-render did not use $BUNDLE"
"$X86/tidepull-render" --plugin "$X86/Tidepull.vst3" --preset "$X86/presets/$PRESET.vstpreset" --precision 64 \
  "$WORK/x86.wav" >/dev/null
cmp -s "$WORK/arm64.wav" "$WORK/x86.wav" || fail "the installed arm64 plug-in renders other bits than the x86-64 build"

dpkg --root="$TARGET" -r tidepull >/dev/null
[ ! -e "$BUNDLE" ] || fail "$BUNDLE is still there after dpkg -r"
[ ! -e "$TARGET/usr/lib/lv2/Tidepull.lv2" ] || fail "the LV2 bundle is still there after dpkg -r"
[ ! -e "$PRESETS" ] || fail "$PRESETS is still there after dpkg -r"
echo "deb-check-arm64: installed into $TARGET, rendered the x86-64 bits through it under qemu-aarch64, removed: OK"
