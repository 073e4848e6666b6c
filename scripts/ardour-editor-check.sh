#!/usr/bin/env bash
# Opens Tidepull's editor inside Ardour 7's own GUI on a virtual X server and
# checks, unattended, that it draws, reacts and goes away cleanly:
#   - the plug-in window holds a 1001 x 270 editor whose strips match what
#     tidepull-snapshot draws for the same settings, pixel for pixel;
#   - dragging the AC Threshold knob changes Ardour's parameter (read back from
#     the saved session) and the editor redraws the knob at the new value;
#   - keys the editor does not take reach Ardour (Ctrl+S saves the session),
#     and a key Ardour passes on to the plug-in window does not bounce back
#     and forth between the two;
#   - the plug-in window closes, Ardour quits without a crash or an X error.
# With --lv2 the LV2 build's editor (its X11 UI, which Ardour embeds through
# suil) goes through the same checks, Ardour loading the bundle from LV2_PATH;
# its meter must also show the gain reduction Ardour sends it.
#
#   scripts/ardour-editor-check.sh [--snapshot PATH] [--screenshot OUT.png] [--lv2] [BUNDLE]
#
# A BUNDLE named *.lv2 is the LV2 build and implies --lv2 (default
# ~/.lv2/Tidepull.lv2); any other is the VST 3 build (default
# ~/.vst3/Tidepull.vst3). PATH defaults to build/tidepull-snapshot.
# Ardour runs with a HOME, configuration and cache of its own in a temporary
# folder, so the user's Ardour settings, ~/.vst3 and ~/.lv2 are left alone.
# Not part of test.sh: Ardour is a large install. Installs what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" >/dev/null && pwd)
root=$(dirname "$here")
snapshot=$root/build/tidepull-snapshot
screenshot=
bundle=$HOME/.vst3/Tidepull.vst3
lv2=
while [ $# -gt 0 ]; do
  case $1 in
    --snapshot) snapshot=$2; shift 2 ;;
    --screenshot) screenshot=$2; shift 2 ;;
    --lv2) lv2=${lv2:-$HOME/.lv2/Tidepull.lv2}; shift ;;
    -h|--help) sed -n '2,23p' "$0"; exit 0 ;;
    *.lv2|*.lv2/) lv2=$1; shift ;;
    *) bundle=$1; shift ;;
  esac
done
say() { echo "ardour-editor-check: $*"; }
fail() { echo "ardour-editor-check: FAIL: $*" >&2; exit 1; }
# Per format: the bundle, the tag in Ardour's plug-in window title, and how
# the saved session names the AC Threshold control (VST 3: parameter ID 2;
# LV2: the port symbol).
if [ -n "$lv2" ]; then
  [ -f "$lv2/manifest.ttl" ] || { say "no LV2 bundle at $lv2 (run ./run.sh first)" >&2; exit 2; }
  bundle=$(cd "$lv2" && pwd) format=lv2 tag=LV2 ac_threshold="symbol=ac_threshold"
else
  [ -d "$bundle" ] || { say "no bundle at $bundle (run ./run.sh first)" >&2; exit 2; }
  format=vst3 tag=VST3 ac_threshold="id=2"
fi
[ -x "$snapshot" ] || { say "no tidepull-snapshot at $snapshot (build it, or pass --snapshot)" >&2; exit 2; }

need=()
command -v ardour7-lua >/dev/null || need+=(ardour)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
command -v compare >/dev/null || need+=(imagemagick)
command -v xwininfo >/dev/null || need+=(x11-utils)
command -v python3 >/dev/null || need+=(python3)
if [ ${#need[@]} -gt 0 ]; then
  apt-get -o DPkg::Lock::Timeout=900 update -qq
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d)
xvfb_pid= ardour_pid=
cleanup() {
  [ -n "$ardour_pid" ] && kill "$ardour_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Ardour's own corner: the bundle in its ~/.vst3 (or, for LV2, alone in a
# folder on LV2_PATH, so that no other Tidepull.lv2 stands in for it), the
# Dummy backend started without the audio setup dialog, and no first-run wizard.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache \
       XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME/.vst3" "$XDG_CONFIG_HOME/ardour7" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
touch "$XDG_CONFIG_HOME/ardour7/.a7"
cp "$here/ardour/gui-config.xml" "$XDG_CONFIG_HOME/ardour7/config"
if [ "$format" = lv2 ]; then
  mkdir "$work/bundles"
  ln -s "$bundle" "$work/bundles/Tidepull.lv2"
  export LV2_PATH=$work/bundles
else
  # Timestamps kept: Ardour rescans a module no older than its cache entry.
  cp -a "$bundle" "$HOME/.vst3/Tidepull.vst3"
  LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f -q "$HOME/.vst3/Tidepull.vst3"
fi

TIDEPULL_FORMAT=$format ardour7-lua "$here/ardour/make-session.lua" "$work/s" s >"$work/lua.log" 2>&1 || true
grep -q "session made" "$work/lua.log" || fail "ardour7-lua could not make the session: $(tail -3 "$work/lua.log")"
session=$work/s/s.ardour
port_value() {  # the value Ardour saved for Tidepull's control named ATTRIBUTE=VALUE
  python3 - "$session" "${1%%=*}" "${1#*=}" <<'PY'
import sys, xml.etree.ElementTree as ET
for proc in ET.parse(sys.argv[1]).iter('Processor'):
    if proc.get('name') == 'Tidepull':
        for port in proc.iter('Port'):
            if port.get(sys.argv[2]) == sys.argv[3]:
                print(port.get('value'))
PY
}

Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$work/display")

# Windows by title: "id x y w h" of the first mapped top-level with that name.
find_window() {
  xwininfo -root -children 2>/dev/null | python3 -c '
import re, subprocess, sys
for line in sys.stdin:
    m = re.match(r"\s+(0x[0-9a-f]+) \"(.*)\": .* (\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)", line)
    if m and re.fullmatch(sys.argv[1], m.group(2)):
        info = subprocess.run(["xwininfo", "-id", m.group(1)], capture_output=True, text=True).stdout
        if "IsViewable" in info:
            print(m.group(1), m.group(5), m.group(6), m.group(3), m.group(4)); break
' "$1"
}
wait_window() {  # NAME SECONDS
  local w
  for _ in $(seq $(( $2 * 4 ))); do
    w=$(find_window "$1"); [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.25
  done
  return 1
}
shoot() { import -window root "$work/$1.png" 2>/dev/null || true; }
fail_shot() {
  shoot failure
  [ -n "$screenshot" ] && cp "$work/failure.png" "${screenshot%.png}-failure.png" && say "screen saved as ${screenshot%.png}-failure.png"
  fail "$*"
}

/usr/bin/ardour -n -a "$session" >"$work/ardour.log" 2>&1 &
ardour_pid=$!
main=$(wait_window '\*?s - Ardour' 120) || fail_shot "Ardour's main window did not come up (log: $(tail -3 "$work/ardour.log"))"
read -r main_id mx my mw mh <<<"$main"
say "Ardour is up with the Dummy backend (main window $main_id)"
[ -z "$(find_window 'Audio/MIDI Setup')" ] || fail_shot "Ardour asks for the audio setup"
sleep 2

# The mixer (Alt+M), then a double click on the strip's second processor.
xdotool mousemove $((mx + 600)) $((my + 300)) sleep 0.3 key alt+m sleep 2
xdotool mousemove $((mx + 322)) $((my + 238)) sleep 0.3 click --repeat 2 --delay 80 1
plugwin=$(wait_window 'T: Tidepull \(by Quillmarch\) \['$tag'\]' 20) || fail_shot "no Tidepull window after the double click"
read -r plug_id _ _ _ _ <<<"$plugwin"
# Below the processor box, so that the processor stays reachable.
xdotool windowmove "$plug_id" $((mx + 200)) $((my + 330))
# The innermost window of the editor's size is the plug-in's own: an LV2
# host's wrapper (suil's GtkPlug) lies between it and Ardour's socket.
editor=
for _ in $(seq 40); do
  editor=$(xwininfo -id "$plug_id" -tree | awk '/1001x270\+0\+0/ {e = $1 " " $NF} END {print e}')
  [ "$(echo "$editor" | cut -d+ -f2)" = $((mx + 200)) ] && break
  sleep 0.25
done
[ -n "$editor" ] || fail_shot "the plug-in window holds no 1001 x 270 editor: $(xwininfo -id "$plug_id" -tree | tail -4)"
read -r ed_id ed_pos <<<"$editor"
ex=$(echo "$ed_pos" | cut -d+ -f2); ey=$(echo "$ed_pos" | cut -d+ -f3)
say "Tidepull's editor $ed_id (1001 x 270) is embedded at $ex,$ey"

# Everything left of the meter is still: it must match the headless drawing.
# The pixels that still differ after up to 10 s of redraws.
strips_match() {  # VALUE-OF-AC-THRESHOLD
  "$snapshot" --set "AC Threshold=$1" --set "DC Threshold=6" "$work/ref.png" >/dev/null
  local diff end=$((SECONDS + 10))
  while :; do
    import -window "$ed_id" "$work/editor.png"
    diff=$(compare -metric AE "$work/editor.png[690x270+0+0]" "$work/ref.png[690x270+0+0]" null: 2>&1 || true)
    [ "$diff" = 0 ] || [ $SECONDS -ge $end ] && break
    sleep 0.2
  done
  echo "$diff"
}
diff=$(strips_match 30)
[ "$diff" = 0 ] || fail_shot "the editor in Ardour differs from tidepull-snapshot in $diff pixels"
say "the editor's strips match tidepull-snapshot exactly (690 x 270 pixels)"

if [ "$format" = lv2 ]; then
  # The LV2 editor is a plug of its own, which learns the gain reduction only
  # from Ardour's port events: on the compressed noise its meter must leave
  # the rest it is drawn at before any.
  "$snapshot" "$work/rest.png" >/dev/null
  end=$((SECONDS + 10))
  while :; do
    import -window "$ed_id" "$work/editor.png"
    diff=$(compare -metric AE "$work/editor.png[311x270+690+0]" "$work/rest.png[311x270+690+0]" null: 2>&1 || true)
    [ "$diff" != 0 ] || [ $SECONDS -ge $end ] && break
    sleep 0.2
  done
  [ "$diff" != 0 ] || fail_shot "the meter stays at rest: Ardour's gain-reduction values do not reach the editor"
  say "the meter shows Ardour's gain-reduction values ($diff pixels off its rest)"
fi

# Drag the AC Threshold knob up by 40 pixels, then Ctrl+S over the editor:
# the editor does not take the key, so Ardour must get it and save.
before=$(port_value "$ac_threshold")
kx=$((ex + 560)); ky=$((ey + 215))
xdotool mousemove $kx $ky mousedown 1
for i in $(seq 1 10); do xdotool mousemove $kx $((ky - 4 * i)) sleep 0.05; done
xdotool mouseup 1 sleep 1 mousemove $((ex + 300)) $((ey + 80)) sleep 0.5
stamp=$(stat -c %y "$session")
xdotool key ctrl+s
for _ in $(seq 40); do [ "$(stat -c %y "$session")" != "$stamp" ] && break; sleep 0.25; done
sleep 1
after=$(port_value "$ac_threshold")
say "AC Threshold in the saved session: $before before the drag, $after after"
python3 -c "import sys; sys.exit(0 if float(sys.argv[2]) - float(sys.argv[1]) > 5 else 1)" "$before" "$after" \
  || fail_shot "dragging the knob did not change Ardour's parameter (or Ctrl+S over the editor did not save)"
diff=$(strips_match "$after")
[ "$diff" = 0 ] || fail_shot "after the drag the editor differs from tidepull-snapshot at $after in $diff pixels"
say "the editor redrew the knob at the new value"
[ -n "$screenshot" ] && { shoot shown; convert "$work/shown.png" -crop "${mw}x${mh}+$mx+$my" +repage -colors 255 "$screenshot"; say "screenshot saved as $screenshot"; }

# With the plug-in window focused Ardour hands unbound keys to the plug-in
# window; Ardour stamps the window's user time on each key it sees.
xdotool windowfocus "$plug_id" sleep 0.5
timeout 3 xprop -spy -id "$plug_id" _NET_WM_USER_TIME >"$work/keys.txt" 2>/dev/null &
spy=$!
sleep 0.5
xdotool key Control_L
wait $spy || true
keys=$(( $(wc -l <"$work/keys.txt") - 1 ))
say "Ardour saw $keys key event(s) in 2.5 s after one key press"
[ "$keys" -le 5 ] || fail_shot "a key bounces between Ardour and the editor ($keys key events in 2.5 s)"

# Close the plug-in window (a second double click on the processor) and quit.
xdotool mousemove $((mx + 322)) $((my + 238)) sleep 0.3 click --repeat 2 --delay 80 1
for _ in $(seq 40); do [ -z "$(find_window 'T: Tidepull \(by Quillmarch\) \['$tag'\]')" ] && break; sleep 0.25; done
[ -z "$(find_window 'T: Tidepull \(by Quillmarch\) \['$tag'\]')" ] || fail_shot "the plug-in window did not close"
say "the plug-in window closed"
xdotool mousemove $((mx + 600)) $((my + 300)) sleep 0.3 key ctrl+q
for _ in $(seq 120); do kill -0 "$ardour_pid" 2>/dev/null || break; sleep 0.25; done
if kill -0 "$ardour_pid" 2>/dev/null; then fail_shot "Ardour did not quit"; fi
rc=0; wait "$ardour_pid" || rc=$?
ardour_pid=
if grep -E -i "X Error|BadWindow|BadDrawable|BadMatch|segmentation|terminate called|SIGSEGV" "$work/ardour.log"; then
  fail "Ardour reported errors (above)"
fi
[ "$rc" = 0 ] || fail "Ardour exited with status $rc: $(tail -5 "$work/ardour.log")"
say "Ardour quit cleanly (status 0, no X errors)"
say "all checks passed"
