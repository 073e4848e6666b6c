#!/usr/bin/env bash
# Checks Tidepull in a real host, Ardour 7 from Debian, without a screen:
# Ardour's VST 3 scanner indexes the bundle, a session with a noise source
# and Tidepull is made and saved, Ardour's exporter renders it (the plug-in
# processes in Ardour's engine), and the reopened session has the settings
# back. Compares the level with the same session without Tidepull.
#
#   scripts/ardour-check.sh [BUNDLE]    (default ~/.vst3/Tidepull.vst3)
#
# Not part of test.sh: Ardour is a large install. Installs it when missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" >/dev/null && pwd)
bundle=${1:-$HOME/.vst3/Tidepull.vst3}
[ -d "$bundle" ] || { echo "ardour-check: no bundle at $bundle (run ./run.sh first)" >&2; exit 2; }
case $bundle in
  "$HOME/.vst3/"*|/usr/lib/vst3/*|/usr/local/lib/vst3/*) ;;
  *) echo "ardour-check: Ardour finds plug-ins only in ~/.vst3, /usr/lib/vst3 or /usr/local/lib/vst3" >&2; exit 2 ;;
esac
if ! command -v ardour7-lua >/dev/null; then
  apt-get -o DPkg::Lock::Timeout=900 update -qq
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends ardour python3 >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f -q "$bundle"

# ardour7-export renders the session range; Lua cannot make one headless,
# so it goes into the saved session file.
range='<Locations><Location id="9999" name="session" start="a0" end="a846720000" flags="IsSessionRange" locked="0" timestamp="0" cd="0"/></Locations>'
for with in 0 1; do
  # Into a file: grep -q would end a pipe early, and pipefail fail it.
  WITH_TIDEPULL=$with ardour7-lua "$here/ardour/make-session.lua" "$work/s$with" "s$with" >"$work/make$with.log" 2>&1 || true
  grep -q "session made" "$work/make$with.log" || { cat "$work/make$with.log" >&2; exit 1; }
  sed -i "s#<Locations/>#$range#" "$work/s$with/s$with.ardour"
  # Debian's ardour7-export aborts now and then in its own heap ("double
  # free or corruption"), with or without Tidepull in the session: try again.
  for try in 1 2 3 4 5; do
    ardour7-export -b float -o "$work/out$with.wav" "$work/s$with" "s$with" >/dev/null 2>&1 && break
    [ "$try" -lt 5 ] || { echo "ardour-check: ardour7-export failed five times" >&2; exit 1; }
  done
done
grep -q 'type="vst3" unique-id="0DE7AEF2DE004E4F516C6D7254647031"' "$work/s1/s1.ardour"
params=$(ardour7-lua "$here/ardour/read-params.lua" "$work/s1" s1 2>/dev/null | grep '^param')

python3 - "$work/out0.wav" "$work/out1.wav" "$params" <<'PY'
import math, struct, sys
def samples(path):
    d = open(path, 'rb').read()
    i = 12
    while i < len(d):
        cid, n = d[i:i + 4], struct.unpack('<I', d[i + 4:i + 8])[0]
        if cid == b'data':
            return struct.unpack('<%df' % (n // 4), d[i + 8:i + 8 + n])
        i += 8 + n + (n & 1)
    sys.exit('ardour-check: no audio in ' + path)
def rms_db(v):
    return 10 * math.log10(sum(x * x for x in v) / len(v))
dry, wet = samples(sys.argv[1]), samples(sys.argv[2])
if len(dry) != len(wet) or len(dry) < 48000:
    sys.exit('ardour-check: exports differ in length or are empty')
if any(math.isnan(x) or math.isinf(x) for x in wet):
    sys.exit('ardour-check: non-finite samples')
drop = rms_db(dry) - rms_db(wet)
print('ardour-check: Ardour rendered %d samples; Tidepull took the level down %.1f dB' % (len(wet), drop))
if drop < 6:
    sys.exit('ardour-check: Tidepull did not compress in Ardour')
got = {int(l.split()[1]): float(l.split()[2]) for l in sys.argv[3].splitlines()}
# Ardour's indices: 0 the host bypass, then the nine plug parameters.
if abs(got.get(3, 0) - 30) > 1e-3 or abs(got.get(4, 0) - 6) > 1e-3:
    sys.exit('ardour-check: the reopened session lost the settings: %r' % got)
print('ardour-check: the reopened session restored AC Threshold %.2f, DC Threshold %.2f' % (got[3], got[4]))
PY
