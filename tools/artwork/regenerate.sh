#!/usr/bin/env bash
# Redraws the editor's bitmap strips into resources/img, and the same strips
# at double density into resources/img/2x.
#
#   tools/artwork/regenerate.sh [--preview <png> [value]]
#
# Installs cairo, libpng and the DejaVu fonts when missing, builds the
# generator and its tests in their own build folder (ARTWORK_BUILD_DIR,
# default under /tmp), runs the tests, then the generator. The same machine
# always produces the same bytes.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/../.." >/dev/null && pwd)"
BUILD_DIR="${ARTWORK_BUILD_DIR:-${TMPDIR:-/tmp}/tidepull-artwork-build}"
OUT_DIR="$ROOT/resources/img"

packages=(build-essential cmake pkg-config libcairo2-dev libpng-dev libfreetype-dev libgtest-dev fonts-dejavu-core)
missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$ROOT/tools/artwork" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-2}" >/dev/null
"$BUILD_DIR/tidepull_artwork_tests" --gtest_brief=1 >/dev/null || {
  echo "the generator's own tests fail; nothing was drawn" >&2
  exit 1
}
mkdir -p "$OUT_DIR" "$OUT_DIR/2x"
"$BUILD_DIR/tidepull-artwork" "$OUT_DIR" --fonts /usr/share/fonts/truetype/dejavu "$@"
"$BUILD_DIR/tidepull-artwork" "$OUT_DIR/2x" --scale 2 --fonts /usr/share/fonts/truetype/dejavu
