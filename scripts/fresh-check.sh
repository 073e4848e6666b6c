#!/usr/bin/env bash
# Runs the test command as a new machine would: in a fresh clone of this
# repository, after removing what earlier runs left on the machine.
#
#   scripts/fresh-check.sh
#
# Removed first: the deb-src entries scripts/build-win-deps.sh adds
# (/etc/apt/sources.list.d/tidepull-deb-src.*, then apt-get update), and the
# persistent Wine prefix of TIDEPULL_WINEPREFIX if one is set. The clone has
# no build folders and no downloaded sources of its own. Environment
# variables of ./test.sh (QUICK, JOBS, FUZZ_SECONDS,
# TIDEPULL_TEST_TIMEOUT_SCALE) pass through. FRESH_DIR names the folder to
# clone into (default: a new temporary one, removed when the run passes).
# The Debian packages stay installed: removing them would take other work on
# this machine with it. Needs root or sudo. Prints the elapsed time at the end.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." >/dev/null && pwd)
SRC_LIST=/etc/apt/sources.list.d/tidepull-deb-src

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

say() { echo "fresh-check: $*" >&2; }

start=$SECONDS
report() {
  local status=$?
  local elapsed=$((SECONDS - start))
  say "$([ "$status" -eq 0 ] && echo passed || echo "FAILED (exit $status)") after $((elapsed / 60)) min $((elapsed % 60)) s"
  if [ "$status" -eq 0 ] && [ -n "${made_dir:-}" ]; then
    rm -rf "$made_dir"
  elif [ -n "${clone:-}" ]; then
    say "the clone stays in $clone"
  fi
}
trap report EXIT

# What earlier runs left on the machine.
removed=0
for f in "$SRC_LIST".sources "$SRC_LIST".list; do
  if [ -e "$f" ]; then
    as_root rm -f "$f"
    removed=1
    say "removed $f"
  fi
done
if [ "$removed" -eq 1 ]; then
  say "apt-get update without them"
  as_root apt-get -o DPkg::Lock::Timeout=900 update -qq
fi
if [ -n "${TIDEPULL_WINEPREFIX:-}" ] && [ -d "$TIDEPULL_WINEPREFIX" ]; then
  rm -rf "$TIDEPULL_WINEPREFIX"
  say "removed the Wine prefix $TIDEPULL_WINEPREFIX"
fi

# A fresh clone of what is committed here: no build folders, no downloaded
# sources, nothing left over from the working tree.
if [ -n "${FRESH_DIR:-}" ]; then
  rm -rf "$FRESH_DIR"
  mkdir -p "$FRESH_DIR"
  work=$FRESH_DIR
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/tidepull-fresh.XXXXXX")
  made_dir=$work
fi
clone=$work/tidepull
git clone -q --no-hardlinks "$ROOT" "$clone"
say "cloned $(git -C "$clone" rev-parse --short HEAD) into $clone"
say "load before the run: $(cut -d' ' -f1-3 /proc/loadavg)"

cd "$clone"
./test.sh
say "load after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
