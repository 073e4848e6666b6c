#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those
# already present. Sourced by run.sh and test.sh.
set -euo pipefail

# What building and installing the plug-in and its tools needs (run.sh).
TIDEPULL_PACKAGES=(
  build-essential
  cmake
  pkg-config
  juce-modules-source-data
  libsndfile1-dev
  libpng-dev
  zlib1g-dev
  # tidepull-snapshot's plots and the artwork generator.
  libcairo2-dev
  libfreetype-dev
  libfontconfig-dev
  fonts-dejavu-core
  libx11-dev
  libxext-dev
  libxfixes-dev
  # The LV2 build's headers.
  lv2-dev
)

# What only the tests and benchmarks need (test.sh), on top of the above.
TIDEPULL_TEST_PACKAGES=(
  libgtest-dev
  libbenchmark-dev
  libpixman-1-dev
  # The bundle tests read moduleinfo.json.
  nlohmann-json3-dev
  # The editor window's tests: a virtual X server and synthetic input.
  xvfb
  xauth
  x11-utils
  libxtst-dev
  libxdamage-dev
  # The Windows installer (makensis) and its test under Wine.
  nsis
  wine
  wine64
  # The LV2 tests (lv2_validate needs sordi, lv2info comes with lilv-utils)
  # and the benchmark's peer comparison: an LV2 host on lilv and the peers.
  liblilv-dev
  sordi
  lilv-utils
  lsp-plugins-lv2
  x42-plugins
  # The LV2 editor in a real host: jalv.gtk3 on a JACK server of the test's
  # own (jackd with its dummy driver; jack_wait).
  jalv
  jackd2
)

tidepull_install_deps() {
  local missing=()
  local pkg
  for pkg in "${TIDEPULL_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  # A fresh machine may be running its automatic upgrades: wait for apt's
  # lock rather than fail at once.
  local wait=(-o DPkg::Lock::Timeout=900)
  $sudo apt-get "${wait[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}
