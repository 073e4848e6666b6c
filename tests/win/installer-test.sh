#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix of its own, as a studio
# script runs it (silent mode):
#   - an install puts every file where it belongs, identical to the build's,
#     and registers the uninstaller with Add/Remove Programs;
#   - the installed DLL loads and renders what the Linux build renders, and
#     the installed presets load and render like the Linux presets;
#   - an install over the installed copy replaces it cleanly, and one while a
#     host holds the DLL stops with exit code 2 and changes nothing;
#   - an uninstall leaves no file or key of ours, but keeps a preset the user
#     saved in the presets folder.
#
#   tests/win/installer-test.sh SETUP.exe BUNDLE PRESETS WIN_TESTS.exe CROSSCHECK
#
# BUNDLE and PRESETS are the built Tidepull.vst3 and Windows preset folders,
# WIN_TESTS the Windows test program, CROSSCHECK the Linux side's program.
set -euo pipefail

if [ $# -ne 5 ]; then
  echo "usage: $0 SETUP.exe BUNDLE PRESETS WIN_TESTS.exe CROSSCHECK" >&2
  exit 2
fi
SETUP=$1 BUNDLE=$2 PRESETS=$3 WIN_TESTS=$4 CROSSCHECK=$5
ROOT=$(cd "$(dirname "$0")/../.." && pwd)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tidepull-installer.XXXXXX")
# Wine links the user's Documents to the Linux home: keep both inside WORK.
export HOME=$WORK/home
mkdir -p "$HOME"
export WINEPREFIX=$WORK/prefix TIDEPULL_WINEPREFIX=$WORK/prefix
export WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Waits until "$@" succeeds, at most $DEADLINE seconds.
DEADLINE=${DEADLINE:-120}
wait_for() {
  local end=$((SECONDS + DEADLINE))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.5
  done
}

# A program of the prefix, to its end and the end of every process it started
# (the uninstaller hands over to a copy of itself).
wine_run() {
  local status=0
  timeout 600 wine "$@" || status=$?
  timeout 600 wineserver -w || true
  return $status
}

echo "installer-test: making a fresh Wine prefix"
# wineboot now and then fails at once while another Wine starts beside it
# (the other Windows tests run in parallel): start again from a clean prefix.
for try in 1 2 3; do
  if wineboot -i >/dev/null 2>&1; then
    break
  fi
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  if [ "$try" -eq 3 ]; then
    echo "installer-test: wineboot failed three times" >&2
    exit 1
  fi
done
timeout 600 wineserver -w

C=$WINEPREFIX/drive_c
INSTALLED=$C/Program\ Files/Common\ Files/VST3/Tidepull.vst3
APP=$C/Program\ Files/Quillmarch/Tidepull
profile=$(wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')
USER_PRESETS=$(winepath -u "$profile" 2>/dev/null)/Documents/VST3\ Presets/Quillmarch/Tidepull
KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tidepull'

same_tree() { diff -r "$1" "$2" >/dev/null; }
presets_installed() {
  local p
  for p in "$PRESETS"/*.vstpreset; do
    cmp -s "$p" "$USER_PRESETS/$(basename "$p")" || return 1
  done
}
reg_value() { wine reg query "$KEY" /v "$1" /reg:64 2>/dev/null | tr -d '\r' | awk -v v="$1" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print }'; }

# --- install -------------------------------------------------------------
status=0
wine_run "$SETUP" /S || status=$?
[ $status -eq 0 ] && pass "silent install exits 0" || fail "silent install exited $status"
wait_for test -f "$INSTALLED/Contents/x86_64-win/Tidepull.vst3" || fail "no DLL installed"
same_tree "$BUNDLE" "$INSTALLED" && pass "the bundle is installed as built" ||
  { fail "the installed bundle differs from the build's"; diff -r "$BUNDLE" "$INSTALLED" >&2 || true; }
presets_installed && pass "the six presets are in Documents\\VST3 Presets\\Quillmarch\\Tidepull" ||
  fail "presets missing or different in $USER_PRESETS"
[ "$(ls "$USER_PRESETS" | wc -l)" -eq "$(ls "$PRESETS"/*.vstpreset | wc -l)" ] || fail "other files in $USER_PRESETS"
[ -f "$APP/Uninstall Tidepull.exe" ] && [ -f "$APP/LICENSE.txt" ] && pass "uninstaller and licence installed" ||
  fail "no uninstaller or licence in $APP"

# --- Add/Remove Programs ---------------------------------------------------
[ "$(reg_value Publisher)" = "Quillmarch" ] && pass "Publisher" || fail "Publisher is '$(reg_value Publisher)'"
[ "$(reg_value DisplayVersion)" = "$(basename "$SETUP" | sed -n 's/^Tidepull-\(.*\)-setup\.exe$/\1/p')" ] &&
  pass "DisplayVersion" || fail "DisplayVersion is '$(reg_value DisplayVersion)'"
case "$(reg_value UninstallString)" in
  *'Quillmarch\Tidepull\Uninstall Tidepull.exe"') pass "UninstallString" ;;
  *) fail "UninstallString is '$(reg_value UninstallString)'" ;;
esac
size=$(reg_value EstimatedSize)
[ -n "$size" ] && [ $((size)) -gt 100 ] && pass "EstimatedSize $((size)) KB" || fail "EstimatedSize is '$size'"

# --- the installed plug-in at work -----------------------------------------
exchange=$WORK/exchange
mkdir -p "$exchange"
for filter in AudioScenario BundleNames FactoryPresets; do
  "$ROOT/scripts/wine-test.sh" "$WIN_TESTS" --dll "$INSTALLED/Contents/x86_64-win/Tidepull.vst3" \
    --bundle "$INSTALLED" --presets "$USER_PRESETS" --exchange "$exchange" --filter "$filter" ||
    fail "the Windows tests ($filter) failed on the installed copy"
done
TIDEPULL_WIN_EXCHANGE=$exchange "$CROSSCHECK" \
  --gtest_filter='CrossCheck.WindowsOutputIsBitIdenticalToLinux:CrossCheck.WindowsPresetsRenderLikeTheLinuxPresets' ||
  fail "the installed copy does not render what the Linux build renders"

# --- install over the installed copy ---------------------------------------
# What an older version might have left, and a factory preset changed.
touch "$INSTALLED/Contents/Resources/Snapshots/00000000000000000000000000000000_snapshot.png"
first=$(ls "$USER_PRESETS" | head -n 1)
printf 'changed' >"$USER_PRESETS/$first"
status=0
wine_run "$SETUP" /S || status=$?
[ $status -eq 0 ] && pass "reinstall exits 0" || fail "reinstall exited $status"
same_tree "$BUNDLE" "$INSTALLED" && pass "reinstall leaves exactly the build's bundle" ||
  { fail "after reinstall the bundle differs from the build's"; diff -r "$BUNDLE" "$INSTALLED" >&2 || true; }
presets_installed && pass "reinstall restores the presets" || fail "reinstall did not restore the presets"

# --- install while a host holds the DLL ------------------------------------
hold=$WORK/hold
DLL_WIN=$(winepath -w "$INSTALLED/Contents/x86_64-win/Tidepull.vst3" 2>/dev/null | tr -d '\r')
timeout 300 wine "$WIN_TESTS" --dll "$DLL_WIN" --hold "$(winepath -w "$hold" 2>/dev/null | tr -d '\r')" &
holder=$!
if wait_for test -f "$hold.held"; then
  touch "$INSTALLED/Contents/Resources/marker"
  status=0
  timeout 600 wine "$SETUP" /S || status=$?
  [ $status -eq 2 ] && pass "install while the DLL is in use stops with exit code 2" ||
    fail "install while the DLL is in use exited $status"
  [ -f "$INSTALLED/Contents/Resources/marker" ] && cmp -s "$BUNDLE/Contents/x86_64-win/Tidepull.vst3" \
    "$INSTALLED/Contents/x86_64-win/Tidepull.vst3" && pass "and leaves the installed copy untouched" ||
    fail "the stopped install changed the installed copy"
  rm -f "$INSTALLED/Contents/Resources/marker"
else
  fail "the holding program did not load the DLL"
fi
touch "$hold.release"
wait "$holder" || fail "the holding program failed"
timeout 600 wineserver -w || true

# --- uninstall -------------------------------------------------------------
printf 'mine' >"$USER_PRESETS/My Own Setting.vstpreset"
status=0
wine_run "$APP/Uninstall Tidepull.exe" /S || status=$?
[ $status -eq 0 ] && pass "silent uninstall exits 0" || fail "silent uninstall exited $status"
gone() { [ ! -e "$INSTALLED" ] && [ ! -e "$APP" ]; }
wait_for gone && pass "bundle and uninstaller removed" || fail "left behind: $(ls -d "$INSTALLED" "$APP" 2>/dev/null)"
[ ! -e "$C/Program Files/Quillmarch" ] || fail "an empty Quillmarch folder is left in Program Files"
left=$(cd "$USER_PRESETS" && ls)
[ "$left" = "My Own Setting.vstpreset" ] && pass "the user's own preset is kept, the factory presets are gone" ||
  fail "presets folder holds: $left"
if wine reg query "$KEY" /reg:64 >/dev/null 2>&1; then fail "the Add/Remove key is still there"; else pass "the Add/Remove key is gone"; fi

if [ $failures -ne 0 ]; then
  echo "installer-test: $failures failed" >&2
  exit 1
fi
echo "installer-test: all passed"
