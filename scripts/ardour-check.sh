#!/usr/bin/env bash
# Checks Tidepull in a real host, Ardour 7 from Debian, without a screen:
# Ardour's VST 3 scanner indexes the bundle, a session with a noise source
# and Tidepull is made and saved, Ardour's exporter renders it (the plug-in
# processes in Ardour's engine), and the reopened session has the settings
# back. Compares the level with the same session without Tidepull.
# With --lv2, the same session is made a second time on the LV2 build, which
# Ardour loads through lilv from LV2_PATH; its export must equal the VST 3
# build's sample for sample, and its reopened session must hold the same
# control values.
#
#   scripts/ardour-check.sh [--lv2] [BUNDLE...]
#
# A BUNDLE named *.lv2 is the LV2 build, in any folder, and implies --lv2
# (default ~/.lv2/Tidepull.lv2); any other is the VST 3 build (default
# ~/.vst3/Tidepull.vst3). Not part of test.sh: Ardour is a large install.
# Installs it when missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" >/dev/null && pwd)
bundle=$HOME/.vst3/Tidepull.vst3
lv2=
for a in "$@"; do
  case $a in
    --lv2) lv2=${lv2:-$HOME/.lv2/Tidepull.lv2} ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    *.lv2|*.lv2/) lv2=$a ;;
    *) bundle=$a ;;
  esac
done
[ -d "$bundle" ] || { echo "ardour-check: no bundle at $bundle (run ./run.sh first)" >&2; exit 2; }
case $bundle in
  "$HOME/.vst3/"*|/usr/lib/vst3/*|/usr/local/lib/vst3/*) ;;
  *) echo "ardour-check: Ardour finds plug-ins only in ~/.vst3, /usr/lib/vst3 or /usr/local/lib/vst3" >&2; exit 2 ;;
esac
if [ -n "$lv2" ]; then
  [ -f "$lv2/manifest.ttl" ] || { echo "ardour-check: no LV2 bundle at $lv2 (run ./run.sh first)" >&2; exit 2; }
  lv2=$(cd "$lv2" && pwd)
fi
if ! command -v ardour7-lua >/dev/null; then
  apt-get -o DPkg::Lock::Timeout=900 update -qq
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends ardour python3 >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f -q "$bundle"
formats=(vst3)
if [ -n "$lv2" ]; then
  # A folder of its own on LV2_PATH, holding only this bundle: no other
  # Tidepull.lv2 (~/.lv2, /usr/lib/lv2) can stand in for it.
  mkdir "$work/bundles"
  ln -s "$lv2" "$work/bundles/Tidepull.lv2"
  export LV2_PATH=$work/bundles
  formats+=(lv2)
fi

# ardour7-export renders the session range; Lua cannot make one headless,
# so it goes into the saved session file.
range='<Locations><Location id="9999" name="session" start="a0" end="a846720000" flags="IsSessionRange" locked="0" timestamp="0" cd="0"/></Locations>'
for s in dry "${formats[@]}"; do
  f=$s; [ "$s" = dry ] && f=
  # Into a file: grep -q would end a pipe early, and pipefail fail it.
  TIDEPULL_FORMAT=$f ardour7-lua "$here/ardour/make-session.lua" "$work/$s" "$s" >"$work/make-$s.log" 2>&1 || true
  grep -q "session made" "$work/make-$s.log" || { cat "$work/make-$s.log" >&2; exit 1; }
  sed -i "s#<Locations/>#$range#" "$work/$s/$s.ardour"
  # Debian's ardour7-export aborts now and then in its own heap ("double
  # free or corruption"), with or without Tidepull in the session: try again.
  for try in 1 2 3 4 5; do
    ardour7-export -b float -o "$work/$s.wav" "$work/$s" "$s" >/dev/null 2>&1 && break
    [ "$try" -lt 5 ] || { echo "ardour-check: ardour7-export failed five times" >&2; exit 1; }
  done
  [ "$s" = dry ] || ardour7-lua "$here/ardour/read-params.lua" "$work/$s" "$s" 2>/dev/null | grep '^param' >"$work/$s.params" || true
done
grep -q 'type="vst3" unique-id="0DE7AEF2DE004E4F516C6D7254647031"' "$work/vst3/vst3.ardour"
[ -z "$lv2" ] || grep -q 'type="lv2" unique-id="https://quillmarch.example/lv2/tidepull"' "$work/lv2/lv2.ardour"

python3 - "$work" "${formats[@]}" <<'PY'
import math, struct, sys
work, formats = sys.argv[1], sys.argv[2:]
def samples(name):
    d = open('%s/%s.wav' % (work, name), 'rb').read()
    i = 12
    while i < len(d):
        cid, n = d[i:i + 4], struct.unpack('<I', d[i + 4:i + 8])[0]
        if cid == b'data':
            return struct.unpack('<%df' % (n // 4), d[i + 8:i + 8 + n])
        i += 8 + n + (n & 1)
    sys.exit('ardour-check: no audio in %s.wav' % name)
def params(name):
    # "param INDEX VALUE LABEL": by label, as Ardour numbers each format's controls its own way.
    rows = [l.split(None, 3) for l in open('%s/%s.params' % (work, name)).read().splitlines()]
    return {r[3]: float(r[2]) for r in rows if len(r) == 4}
def rms_db(v):
    return 10 * math.log10(sum(x * x for x in v) / len(v))
names = {'vst3': '', 'lv2': 'the LV2 build: '}
dry = samples('dry')
wet, got = {}, {}
for f in formats:
    wet[f], got[f] = samples(f), params(f)
    if len(dry) != len(wet[f]) or len(dry) < 48000:
        sys.exit('ardour-check: %sexports differ in length or are empty' % names[f])
    if any(math.isnan(x) or math.isinf(x) for x in wet[f]):
        sys.exit('ardour-check: %snon-finite samples' % names[f])
    drop = rms_db(dry) - rms_db(wet[f])
    print('ardour-check: %sArdour rendered %d samples; Tidepull took the level down %.1f dB' % (names[f], len(wet[f]), drop))
    if drop < 6:
        sys.exit('ardour-check: %sTidepull did not compress in Ardour' % names[f])
    ac, dc = got[f].get('AC Threshold', 0), got[f].get('DC Threshold', 0)
    if abs(ac - 30) > 1e-3 or abs(dc - 6) > 1e-3:
        sys.exit('ardour-check: %sthe reopened session lost the settings: %r' % (names[f], got[f]))
    print('ardour-check: %sthe reopened session restored AC Threshold %.2f, DC Threshold %.2f' % (names[f], ac, dc))
if 'lv2' in formats:
    # Ardour's noise generator starts from the same seed in every session,
    # so the two builds are fed the same samples.
    a, b = wet['vst3'], wet['lv2']
    diff = [i for i in range(len(a)) if struct.pack('<f', a[i]) != struct.pack('<f', b[i])]
    if diff:
        sys.exit('ardour-check: the LV2 export differs from the VST 3 one in %d of %d samples, from frame %d on'
                 ' (largest difference %g)' % (len(diff), len(a), diff[0] // 2, max(abs(a[i] - b[i]) for i in diff)))
    print('ardour-check: the LV2 and VST 3 exports are the same %d samples, bit for bit' % len(a))
    # Every plug parameter, the ones left alone too; the hosts' own bypass
    # controls (VST 3 "Bypass", LV2 "Enabled") have no counterpart.
    shared = sorted(set(got['vst3']) & set(got['lv2']))
    lost = [k for k in shared if got['vst3'][k] != got['lv2'][k]]
    if len(shared) < 9 or lost:
        sys.exit('ardour-check: the reopened LV2 session does not match the VST 3 one in %r (of %d shared controls)'
                 % (lost, len(shared)))
    print('ardour-check: the reopened LV2 session holds the VST 3 one\'s %d control values' % len(shared))
    if got['lv2'].get('Enabled') != 1:
        sys.exit('ardour-check: the reopened LV2 session left the plug-in bypassed')
PY
