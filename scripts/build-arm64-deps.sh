#!/usr/bin/env bash
# Installs what the arm64 cross build needs: Debian's aarch64 cross compiler,
# qemu-aarch64 to run the arm64 programs here, and the arm64 multiarch -dev
# packages of every library the plug-in, its tools and its tests link.
#
#   scripts/build-arm64-deps.sh
#
# Adds arm64 as a foreign architecture of dpkg when it is not one yet (apt
# then fetches the arm64 package lists of the machine's own sources). Does
# nothing when everything is installed.
#
# A multiarch -dev package installs beside the machine's own only at the same
# version; apt upgrades the amd64 copy to match where it is older (libpng and
# zlib on a Debian 12 image that missed a security update).
set -euo pipefail

# The arm64 libraries: the plug-in (PNG, FreeType, fontconfig, X11 with Xext
# and Xfixes, LV2's headers), tidepull-render (libsndfile), tidepull-snapshot
# (Cairo) and the test programs (GoogleTest, and lilv for the LV2 host that
# renders through the arm64 LV2 modules). pkgconf:arm64 gives the
# aarch64-linux-gnu-pkg-config the toolchain file names.
ARM64_LIBRARIES=(
  zlib1g-dev libpng-dev libfreetype-dev libfontconfig-dev
  libx11-dev libxext-dev libxfixes-dev lv2-dev
  libsndfile1-dev libcairo2-dev libgtest-dev liblilv-dev pkgconf
)
# Programs of the build machine: the cross compiler and the emulator, with
# dpkg-dev for the package's dependency list (dpkg-shlibdeps).
HOST_PACKAGES=(g++-aarch64-linux-gnu binutils-aarch64-linux-gnu qemu-user dpkg-dev)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

wanted=("${HOST_PACKAGES[@]}")
for pkg in "${ARM64_LIBRARIES[@]}"; do
  wanted+=("$pkg:arm64")
done
missing=()
for pkg in "${wanted[@]}"; do
  is_installed "$pkg" || missing+=("$pkg")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "build-arm64-deps: up to date"
  exit 0
fi

wait=(-o DPkg::Lock::Timeout=900)
if ! dpkg --print-foreign-architectures | grep -qx arm64; then
  echo "build-arm64-deps: adding arm64 as a foreign architecture"
  as_root dpkg --add-architecture arm64
fi
echo "build-arm64-deps: installing ${missing[*]}"
# A failing entry elsewhere makes apt-get update fail while the arm64 lists
# still arrive: the install below decides.
as_root apt-get "${wait[@]}" update -qq || echo "build-arm64-deps: apt-get update reported errors" >&2
as_root env DEBIAN_FRONTEND=noninteractive apt-get "${wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"
