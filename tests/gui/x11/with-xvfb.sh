#!/bin/sh
# Runs a command against a private X server: an Xvfb of its own, on a
# display number the server picks itself (-displayfd), so that tests run
# side by side never race for one the way `xvfb-run -a` can. The server goes
# when the command ends; the command's exit status is kept.
set -u

# Listing a test program's tests needs no display.
for arg in "$@"; do
    if [ "$arg" = "--gtest_list_tests" ]; then
        exec "$@"
    fi
done

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "with-xvfb: Xvfb is not installed (Debian package xvfb)" >&2
    exit 1
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/tidepull-xvfb.XXXXXX") || exit 1
pid=
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
pid=$!

# 20 s, times TIDEPULL_TEST_TIMEOUT_SCALE on a slow or busy machine.
seconds=$(awk -v s="${TIDEPULL_TEST_TIMEOUT_SCALE:-1}" 'BEGIN { s += 0; if (s < 1) s = 1; printf "%d", 20 * s }')
tries=0
while [ ! -s "$dir/display" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "with-xvfb: Xvfb ended before it was ready:" >&2
        cat "$dir/log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    if [ "$tries" -gt $((seconds * 20)) ]; then
        echo "with-xvfb: Xvfb did not start within $seconds s" >&2
        exit 1
    fi
    sleep 0.05
done

DISPLAY=":$(head -n 1 "$dir/display")"
export DISPLAY
unset XAUTHORITY

"$@"
status=$?
exit "$status"
