#!/usr/bin/env bash
# Builds the third-party libraries of the Windows plug-in: libpng from
# Debian's own source package, as a static MinGW library linked against the
# static MinGW zlib. The result is cached under build-win/deps/; a second run
# does nothing unless the toolchain file changed.
#
#   scripts/build-win-deps.sh            (BUILD_WIN_DIR overrides build-win/)
#
# Installs the cross compiler and dpkg-dev when they are missing, and adds a
# deb-src entry made from this machine's own apt source entries when none is
# configured.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." >/dev/null && pwd)
BUILD_WIN_DIR=${BUILD_WIN_DIR:-$ROOT/build-win}
DEPS_DIR=$BUILD_WIN_DIR/deps
PREFIX=$DEPS_DIR/prefix
TOOLCHAIN=$ROOT/cmake/toolchain-mingw64.cmake
MINGW_ZLIB=/usr/x86_64-w64-mingw32/lib/libz.a
JOBS=${JOBS:-2}

# wine runs the Windows build of the module-info writer against the DLL;
# makensis writes the installer.
WIN_PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev dpkg-dev wine wine64 nsis)
SRC_LIST=/etc/apt/sources.list.d/tidepull-deb-src

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

install_packages() {
  local missing=() pkg
  for pkg in "${WIN_PACKAGES[@]}"; do
    is_installed "$pkg" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "build-win-deps: installing ${missing[*]}"
  as_root apt-get -o DPkg::Lock::Timeout=900 update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
}

# Configured: some entry asks for source indexes. Present: apt has one on disk.
source_index_configured() {
  apt-get indextargets --format '$(IDENTIFIER)' 2>/dev/null | grep -qx Sources
}

source_index_present() {
  local f
  while read -r f; do
    compgen -G "$f*" >/dev/null && return 0
  done < <(apt-get indextargets --format '$(FILENAME)' 'Identifier: Sources' 2>/dev/null)
  return 1
}

# The machine's enabled entries for its own release, with their type changed to
# deb-src. Both apt formats are handled: deb822 stanzas (*.sources) and
# one-line entries (sources.list, *.list).
write_deb_src_entries() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if [ -z "$codename" ]; then
    echo "build-win-deps: cannot tell this system's release (no VERSION_CODENAME)" >&2
    return 1
  fi
  local stanzas="" lines="" f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    [ "$f" = "$SRC_LIST.sources" ] && continue
    stanzas+=$(awk -v release="$codename" '
      function flush() {
        if (stanza != "" && is_deb && on_release && enabled)
          printf "%s\n", stanza
        stanza = ""; is_deb = 0; on_release = 0; enabled = 1
      }
      BEGIN { stanza = ""; enabled = 1 }
      /^[ \t]*$/ { flush(); next }
      /^#/ { next }
      {
        line = $0
        if (tolower($1) == "types:") {
          for (i = 2; i <= NF; i++) if ($i == "deb") is_deb = 1
          line = "Types: deb-src"
        } else if (tolower($1) == "suites:") {
          for (i = 2; i <= NF; i++) if ($i == release || index($i, release "-") == 1) on_release = 1
        } else if (tolower($1) == "enabled:" && tolower($2) == "no") {
          enabled = 0
        }
        stanza = stanza line "\n"
      }
      END { flush() }' "$f")
    stanzas+=$'\n'
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] || continue
    [ "$f" = "$SRC_LIST.list" ] && continue
    lines+=$(awk -v release="$codename" '
      $1 == "deb" {
        s = 2
        if ($2 ~ /^\[/) { while (s <= NF && $s !~ /\]$/) s++; s++ }
        suite = $(s + 1)
        if (suite == release || index(suite, release "-") == 1 || index(suite, release "/") == 1) {
          sub(/^deb/, "deb-src"); print
        }
      }' "$f")
    lines+=$'\n'
  done
  stanzas=$(printf '%s' "$stanzas" | sed '/./,$!d')
  lines=$(printf '%s' "$lines" | sed '/^$/d')
  if [ -z "$stanzas" ] && [ -z "$lines" ]; then
    echo "build-win-deps: no apt source entry for '$codename' to derive a deb-src entry from" >&2
    return 1
  fi
  local header="# Written by Tidepull's scripts/build-win-deps.sh from this machine's own entries."
  if [ -n "$stanzas" ]; then
    printf '%s\n%s\n' "$header" "$stanzas" | as_root tee "$SRC_LIST.sources" >/dev/null
  fi
  if [ -n "$lines" ]; then
    printf '%s\n%s\n' "$header" "$lines" | as_root tee "$SRC_LIST.list" >/dev/null
  fi
  echo "build-win-deps: added deb-src entries in $SRC_LIST.*" >&2
}

ensure_source_index() {
  source_index_configured || write_deb_src_entries || return 1
  source_index_present && return 0
  # A failing entry elsewhere makes apt-get update fail while the source
  # index still arrives: the check below decides.
  as_root apt-get update -qq || echo "build-win-deps: apt-get update reported errors" >&2
  if ! source_index_present; then
    echo "build-win-deps: apt still has no source index after adding deb-src entries" >&2
    return 1
  fi
}

# The versions of libpng1.6's source that apt knows, newest first (in dpkg's
# order, which sort -V does not always follow), one a line.
libpng_source_versions() {
  local sorted=() version i
  while read -r version; do
    [ -n "$version" ] || continue
    i=${#sorted[@]}
    while [ "$i" -gt 0 ] && dpkg --compare-versions "$version" gt "${sorted[i - 1]}"; do
      sorted[i]=${sorted[i - 1]}
      i=$((i - 1))
    done
    sorted[i]=$version
  done < <(apt-cache showsrc libpng1.6 2>/dev/null | awk '/^Version:/ { print $2 }' | sort -u)
  [ ${#sorted[@]} -eq 0 ] || printf '%s\n' "${sorted[@]}"
}

# Prints the unpacked source folder on stdout and nothing else: its caller
# captures it, so every message goes to stderr.
fetch_libpng_source() {
  local dir
  dir=$(find "$DEPS_DIR/src" -maxdepth 1 -type d -name 'libpng1.6-*' 2>/dev/null | sort | tail -n 1)
  if [ -n "$dir" ] && [ -f "$dir/CMakeLists.txt" ]; then
    echo "build-win-deps: using the libpng1.6 source already in $dir" >&2
    echo "$dir"
    return 0
  fi
  ensure_source_index >&2 || return 1
  local versions version tried=() count
  versions=$(libpng_source_versions)
  if [ -z "$versions" ]; then
    echo "build-win-deps: apt knows no source package libpng1.6; check the deb-src entries ($SRC_LIST.*) and run 'apt-get update'" >&2
    return 1
  fi
  # Newest first; a mirror may list a version whose files it no longer
  # carries (seen with the security suite), so an older one is the fallback.
  count=$(printf '%s\n' "$versions" | wc -l)
  for version in $versions; do
    tried+=("$version")
    rm -rf "$DEPS_DIR/src"
    mkdir -p "$DEPS_DIR/src"
    if (cd "$DEPS_DIR/src" && apt-get source -qq "libpng1.6=$version") >&2; then
      dir=$(find "$DEPS_DIR/src" -maxdepth 1 -type d -name 'libpng1.6-*' | sort | tail -n 1)
      if [ -n "$dir" ] && [ -f "$dir/CMakeLists.txt" ]; then
        echo "build-win-deps: using libpng1.6 source $version" >&2
        echo "$dir"
        return 0
      fi
    fi
    if [ ${#tried[@]} -lt "$count" ]; then
      echo "build-win-deps: libpng1.6 source $version could not be downloaded and unpacked, trying the next older one" >&2
    fi
  done
  rm -rf "$DEPS_DIR/src"
  echo "build-win-deps: no libpng1.6 source could be downloaded (tried ${tried[*]}); run 'apt-get update' and try again, or check the network and the deb-src entries ($SRC_LIST.*)" >&2
  return 1
}

main() {
  install_packages
  local stamp=$PREFIX/tidepull-deps.stamp
  local want
  want="libpng1.6 $(sha256sum "$TOOLCHAIN" | cut -d' ' -f1)"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && [ -f "$PREFIX/lib/libpng16.a" ]; then
    echo "build-win-deps: up to date ($PREFIX)"
    return 0
  fi

  local src
  src=$(fetch_libpng_source) || exit 1
  echo "build-win-deps: building $(basename "$src") for Windows"
  rm -rf "$DEPS_DIR/build-libpng" "$PREFIX"
  cmake -S "$src" -B "$DEPS_DIR/build-libpng" \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
    -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
    -DZLIB_LIBRARY="$MINGW_ZLIB" -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
    >"$DEPS_DIR/libpng-configure.log"
  cmake --build "$DEPS_DIR/build-libpng" -j "$JOBS" >"$DEPS_DIR/libpng-build.log"
  cmake --install "$DEPS_DIR/build-libpng" >"$DEPS_DIR/libpng-install.log"
  if [ ! -f "$PREFIX/lib/libpng16.a" ]; then
    echo "build-win-deps: libpng16.a missing after the install" >&2
    return 1
  fi
  printf '%s\n' "$want" >"$stamp"
  echo "build-win-deps: libpng installed in $PREFIX"
}

main "$@"
