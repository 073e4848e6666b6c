#!/usr/bin/env bash
# Runs a Windows test program under Wine, the way the tests and CI do:
#
#   scripts/wine-test.sh PROGRAM.exe [ARGS...]
#
# Arguments that are absolute Linux paths are handed to the program as Windows
# paths (drive Z: is the Linux root). The exit code is the program's.
#
# The Wine prefix is made fresh in a temporary folder with wineboot -i and
# removed at the end; set TIDEPULL_WINEPREFIX to a folder to make it there
# once and reuse it for several programs in one run (it is then kept).
# Installs wine, wine64, xvfb and xauth when they are missing.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
  exit 2
fi

PACKAGES=(wine wine64 xvfb xauth)
missing=()
for pkg in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "wine-test: installing ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

to_windows_path() {
  local p=$1
  if [[ $p == /* ]]; then
    printf 'Z:%s' "${p//\//\\}"
  else
    printf '%s' "$p"
  fi
}

program=$1
shift
if [ ! -f "$program" ]; then
  echo "wine-test: no program at $program" >&2
  exit 2
fi
args=()
for a in "$@"; do
  args+=("$(to_windows_path "$a")")
done

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
if [ -n "${TIDEPULL_WINEPREFIX:-}" ]; then
  export WINEPREFIX=$TIDEPULL_WINEPREFIX
  keep_prefix=1
else
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tidepull-wine.XXXXXX")
  keep_prefix=0
fi

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ "$keep_prefix" -eq 0 ]; then
    rm -rf "$WINEPREFIX"
  fi
}
trap cleanup EXIT

# Each wait below ends when its condition holds; the limits (times
# TIDEPULL_TEST_TIMEOUT_SCALE on a slow or busy machine) only decide when to
# give up with a message instead of hanging the test run.
scaled() {
  awk -v base="$1" -v s="${TIDEPULL_TEST_TIMEOUT_SCALE:-1}" 'BEGIN { s += 0; if (s < 1) s = 1; printf "%d", base * s }'
}
settle_server() {  # SECONDS WHAT
  local limit
  limit=$(scaled "$1")
  if ! timeout "$limit" wineserver -w; then
    echo "wine-test: the Wine server did not settle within $limit s $2" >&2
    return 1
  fi
}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  limit=$(scaled 300)
  # wineboot now and then fails at once while another Wine starts beside it
  # (the installer test runs in parallel): try again.
  for try in 1 2 3; do
    if timeout "$limit" wineboot -i >/dev/null 2>&1; then
      break
    fi
    wineserver -k >/dev/null 2>&1 || true
    if [ "$try" -eq 3 ]; then
      echo "wine-test: making the Wine prefix in $WINEPREFIX failed three times or took more than $limit s" >&2
      exit 1
    fi
  done
  # Unmanaged windows: with no window manager, destroying a managed window
  # stalls for seconds.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # wineboot returns before the new prefix is settled: the first program
  # then fails to create windows. Waiting for the server to end settles it.
  settle_server 120 "after making the prefix" || exit 1
fi

status=0
# A private true-colour screen large enough for the editor, so what a window
# shows can be read back pixel for pixel; its display number is picked by the
# server itself, so it never races the X11 tests running beside it.
ROOT=$(cd "$(dirname "$0")/.." >/dev/null && pwd)
sh "$ROOT/tests/gui/x11/with-xvfb.sh" wine "$program" "${args[@]}" || status=$?
settle_server 120 "after the program" || true
exit "$status"
