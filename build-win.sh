#!/usr/bin/env bash
# Builds the Windows plug-in on this Linux machine with the MinGW-w64 cross
# compiler:
#
#   ./build-win.sh
#
# Result: build-win/Tidepull.vst3/Contents/x86_64-win/Tidepull.vst3 (a DLL),
# the installer build-win/packages/Tidepull-<version>-setup.exe, plus the
# Windows test program build-win/tests/win/tidepull_win_tests.exe.
# Installs what it needs (the cross compiler, libpng built from Debian's
# source package, NSIS) on the first run. BUILD_WIN_DIR overrides build-win/,
# JOBS the parallel jobs (2).
#
# The factory presets are written by the Linux tools through the Linux
# plug-in: WINDOWS_PRESETS_DIR names a folder a Linux build wrote
# (<build>/presets-win); without it a Linux build of just those is made in
# build-win/linux-tools.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")" >/dev/null && pwd)
export BUILD_WIN_DIR=${BUILD_WIN_DIR:-$ROOT/build-win}
JOBS=${JOBS:-2}
DEPS_PREFIX=$BUILD_WIN_DIR/deps/prefix
OBJDUMP=x86_64-w64-mingw32-objdump

"$ROOT/scripts/build-win-deps.sh"

if [ -z "${WINDOWS_PRESETS_DIR:-}" ]; then
  LINUX_TOOLS=$BUILD_WIN_DIR/linux-tools
  cmake -S "$ROOT" -B "$LINUX_TOOLS" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTIDEPULL_TESTS=OFF -DTIDEPULL_BENCH=OFF -DTIDEPULL_WINDOWS_TESTS=OFF >/dev/null
  cmake --build "$LINUX_TOOLS" -j "$JOBS" --target tidepull_factory_presets
  WINDOWS_PRESETS_DIR=$LINUX_TOOLS/presets-win
fi

cmake -S "$ROOT" -B "$BUILD_WIN_DIR" \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPNG_LIBRARY="$DEPS_PREFIX/lib/libpng16.a" \
  -DPNG_PNG_INCLUDE_DIR="$DEPS_PREFIX/include" \
  -DTIDEPULL_WINDOWS_PRESETS_DIR="$WINDOWS_PRESETS_DIR" \
  -DTIDEPULL_TESTS=ON -DTIDEPULL_BENCH=OFF >/dev/null
cmake --build "$BUILD_WIN_DIR" -j "$JOBS"

# What a Windows host will see: only system DLLs imported, and exactly the
# three entry points exported.
DLL=$BUILD_WIN_DIR/Tidepull.vst3/Contents/x86_64-win/Tidepull.vst3
SYSTEM_DLLS='^(kernel32|user32|gdi32|msvcrt|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|wininet|shlwapi|imm32|uxtheme|version|winmm|ws2_32|bcrypt|api-ms-win-[a-z0-9-]+)\.dll$'
check_imports() {
  local file=$1 dll bad=0
  while read -r dll; do
    if ! printf '%s\n' "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$SYSTEM_DLLS"; then
      echo "build-win: $(basename "$file") imports $dll, which Windows does not ship" >&2
      bad=1
    fi
  done < <("$OBJDUMP" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
  return $bad
}
check_imports "$DLL"
check_imports "$BUILD_WIN_DIR/tests/win/tidepull_win_tests.exe"

exports=$("$OBJDUMP" -p "$DLL" | awk '
  /^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
  table && /^[[:space:]]*\[/ { print $NF; next }
  table { table = 0 }' | sort | tr '\n' ' ')
if [ "$exports" != "ExitDll GetPluginFactory InitDll " ]; then
  echo "build-win: the DLL exports '$exports', expected ExitDll GetPluginFactory InitDll" >&2
  exit 1
fi

echo "build-win: $DLL"
