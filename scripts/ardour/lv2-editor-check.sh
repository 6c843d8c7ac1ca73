#!/usr/bin/env bash
# A manual check of the LV2 plug-in's own editor in Ardour 7.3's window
# (Debian's ardour), on Xvfb with JACK's dummy driver, driven with xdotool as
# a person would: the session of make-session.lua (a test tone into the
# compressor) opened in Ardour; the editor opened from the mixer strip, a
# program chosen in Ardour's preset menu and the threshold knob dragged in
# the editor; saved, Ardour closed, the session exported; reopened in
# Ardour, saved, closed and exported again. It compares the editor's panel
# before and after reopening, the saved state's bytes and the two exports'
# levels, and keeps the screens in out/ardour-lv2.
#
# Usage: scripts/ardour/lv2-editor-check.sh [BUILD_FOLDER]   (default build/native)
#
# Needs Debian's ardour, jackd2, xvfb, xdotool, x11-utils, imagemagick and
# python3. Ardour keeps its settings in a home of its own under the work
# folder; JACK runs under a server name of its own. The places clicked are
# those of Ardour 7.3's mixer on the 1600x1000 screen made here.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath "${1:-$root/build/native}")
work="$root/out/ardour-lv2"
session="$work/session"
editor_title="Music: ZQ3R Compressor (by ZQ3R) [LV2]"

# The screen as it was when a step failed, for whoever looks into it.
fail() {
  echo "lv2-editor-check: $*" >&2
  [ -z "${DISPLAY:-}" ] || import -window root "$work/failed-screen.png" 2>/dev/null || true
  exit 1
}

for tool in ardour ardour7-lua ardour7-export jackd Xvfb xdotool xwininfo import convert python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing (apt-get install ardour jackd2 xvfb xdotool x11-utils imagemagick python3)"
done
[ -f "$build/lib/lv2/zq3r-compressor.lv2/manifest.ttl" ] || fail "no LV2 bundle in $build/lib/lv2 (build it first)"

rm -rf "$work"
mkdir -p "$work/home/.config/ardour7" "$work/home/.local/share"
export HOME="$work/home" LV2_PATH="$build/lib/lv2:/usr/lib/lv2"
export JACK_DEFAULT_SERVER="zq3r-ardour-lv2-$$" JACK_NO_AUDIO_RESERVATION=1

# Ardour as a user who has run it before: no first-run wizard, no warning
# about locked memory, and JACK as the engine it connects to at start.
touch "$HOME/.config/ardour7/.a7"
cat >"$HOME/.config/ardour7/instant.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<instant>
  <Main x="0" y="0" w="1600" h="1000" current-tab="mixer"/>
  <no-memory-warning/>
</instant>
XML
cat >"$HOME/.config/ardour7/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="JACK" driver="" device="" input-device="" output-device="" sample-rate="44100" buffer-size="1024" n-periods="2" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="" lru="1"/>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML

ardour_pid=""
stop_all() {
  [ -z "$ardour_pid" ] || kill "$ardour_pid" 2>/dev/null || true
  kill "${jack_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true
}
trap stop_all EXIT INT TERM

Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start, see $work/xvfb.log"
export DISPLAY=":$(cat "$work/display")"
# On a busy machine Ardour now and then answers JACK late; at the default
# half second JACK drops it, and a plug-in that no longer runs answers its
# UI nothing. Four seconds is within JACK's watchdog.
jackd -t 4000 -n "$JACK_DEFAULT_SERVER" -d dummy -r 44100 -p 1024 >"$work/jackd.log" 2>&1 &
jack_pid=$!
sleep 2

ardour7-lua "$here/make-session.lua" "$session" | tail -1
# Five seconds of session range, which the export renders.
sed -i 's|  <Locations/>|  <Locations><Location id="900" name="session" start="a0" end="a1411200000" flags="IsSessionRange" locked="0" timestamp="0" cue="0"/></Locations>|' \
  "$session/lv2test.ardour"

window_named() {
  xwininfo -root -children | awk -v title="\"$1\":" 'index($0, title) { print $1; exit }'
}

# Ardour's dialogs (the session made on another engine) have no title.
untitled_dialog() {
  local window geometry
  xwininfo -root -children | awk '/\(has no name\): \("ardour/ { print $1, $(NF-1) }' |
    while read -r window geometry; do
      xwininfo -id "$window" | grep -q IsViewable && { echo "$geometry"; break; }
    done
}

open_ardour() {
  ardour -n -a "$session/lv2test.ardour" >>"$work/ardour.log" 2>&1 &
  ardour_pid=$!
  for _ in $(seq 120); do
    [ -n "$(window_named "lv2test - Ardour")" ] && { sleep 3; return; }
    local dialog
    dialog=$(untitled_dialog)
    if [ -n "$dialog" ]; then
      IFS='x+' read -r width height left top <<<"$dialog"
      xdotool mousemove $((left + width / 2)) $((top + height / 2)) sleep 0.3 key Return
      for _ in $(seq 10); do [ "$(untitled_dialog)" = "$dialog" ] || break; sleep 0.5; done
      echo "  a question of Ardour's ($width x $height) answered with Return"
    fi
    sleep 0.5
  done
  fail "Ardour's window did not open, see $work/ardour.log"
}

show_mixer() {
  xdotool mousemove 1578 72 click 1 sleep 1   # the "Mix" button
}

# The editor's window: Ardour reopens it with the session; otherwise a
# double click on the plug-in in the track's strip opens it.
editor_window() {
  local window
  window=$(window_named "$editor_title")
  if [ -z "$window" ]; then
    xdotool mousemove 392 289 click --repeat 2 --delay 80 1
    for _ in $(seq 20); do window=$(window_named "$editor_title"); [ -n "$window" ] && break; sleep 0.5; done
    [ -n "$window" ] || fail "the plug-in's editor did not open from the mixer strip"
    xdotool windowmove "$window" 470 120 sleep 1
  fi
  echo "$window"
}

# Where the 304x119 panel the UI put in Ardour's window is on the screen.
panel_origin() {
  local panel
  panel=$(xwininfo -id "$1" -tree | awk '/ 304x119\+/ { print $1; exit }')
  [ -n "$panel" ] || fail "no 304x119 panel in the editor's window"
  xwininfo -id "$panel" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x, y }'
}

# The UI learns the program row from the running plug-in: a capture after
# JACK stopped Ardour's engine would show the UI's start, not the session.
engine_running() {
  ! grep -q "JACK HALTED" "$work/ardour.log" || fail "JACK stopped Ardour's engine, see $work/jackd.log"
}

capture() {
  local window=$1 name=$2 x y
  xdotool mousemove 1000 700 sleep 2   # away from the panel and its tooltips
  engine_running
  read -r x y <<<"$(panel_origin "$window")"
  import -window root "$work/$name-screen.png"
  convert "$work/$name-screen.png" -crop "304x119+$x+$y" +repage "$work/$name-panel.png"
  # Ardour's menu and mixer strip with the editor's window beside it.
  convert "$work/$name-screen.png" -crop 940x330+0+0 +repage "$work/$name-ardour.png"
}

save_and_quit() {
  local saved_before
  saved_before=$(stat -c %Y.%s "$session/lv2test.ardour")
  xdotool mousemove 1000 700 key ctrl+s
  for _ in $(seq 20); do [ "$(stat -c %Y.%s "$session/lv2test.ardour")" != "$saved_before" ] && break; sleep 0.5; done
  sleep 1
  xdotool key ctrl+q
  for _ in $(seq 40); do kill -0 "$ardour_pid" 2>/dev/null || break; sleep 0.5; done
  kill -0 "$ardour_pid" 2>/dev/null && fail "Ardour did not quit"
  engine_running
  wait "$ardour_pid" || echo "  Ardour quit with status $?"
  ardour_pid=""
}

export_and_show() {
  ardour7-export -b float -o "$work/$1.wav" "$session" lv2test >"$work/$1-export.log" 2>&1 ||
    fail "ardour7-export failed, see $work/$1-export.log"
  python3 "$here/saved-state.py" "$session" "$work/$1.wav" | tee "$work/$1.txt"
}

echo "=== First time: Soft Compression chosen in Ardour's preset menu, the threshold dragged in the editor"
open_ardour
show_mixer
window=$(editor_window)
xdotool mousemove 611 136 click 1 sleep 1                          # Ardour's preset menu
xdotool key Down sleep 0.2 key Down sleep 0.2 key Down sleep 0.2 key Down sleep 0.2 key Return   # the fourth: Soft Compression
sleep 1
read -r x y <<<"$(panel_origin "$window")"
knob_x=$((x + 130)) knob_y=$((y + 42))   # the threshold knob's centre
xdotool mousemove "$knob_x" "$knob_y" sleep 0.3 mousedown 1
for step in $(seq 1 15); do xdotool mousemove $((knob_x - 2 * step)) $((knob_y - step)) sleep 0.05; done
xdotool mouseup 1
capture "$window" first
save_and_quit
export_and_show first

echo "=== Reopened: the editor as Ardour restores it, saved again"
open_ardour
show_mixer
window=$(editor_window)
capture "$window" second
save_and_quit
export_and_show second

echo "=== Compared"
python3 - "$work" <<'PYTHON'
import re, subprocess, sys
work = sys.argv[1]
meter = (20, 74, 20 + 115, 74 + 9)   # the gain-reduction meter, which follows the audio

def pixels(name):
    return subprocess.run(["convert", f"{work}/{name}-panel.png", "rgb:-"], check=True, capture_output=True).stdout

first, second = pixels("first"), pixels("second")
if len(first) != 304 * 119 * 3 or len(second) != len(first):
    sys.exit("lv2-editor-check: a panel crop is not 304x119")
differing = [(i // 3 % 304, i // 3 // 304) for i in range(0, len(first), 3) if first[i:i + 3] != second[i:i + 3]]
outside = [p for p in differing if not (meter[0] <= p[0] < meter[2] and meter[1] <= p[1] < meter[3])]
print(f"panel: {len(differing)} of {304 * 119} pixels differ, {len(outside)} outside the meter")

def read(name):
    return open(f"{work}/{name}.txt").read()

state = [re.findall(r"state.*", read(name)) for name in ("first", "second")]
rms = [float(re.search(r"RMS (\S+) dBFS", read(name)).group(1)) for name in ("first", "second")]
print(f"state: {'the same bytes' if state[0] == state[1] else 'different'}; export RMS {rms[0]:.4f} and {rms[1]:.4f} dBFS")
# Two exports differ in the test tone's phase, so they are compared by level.
if outside or state[0] != state[1] or abs(rms[0] - rms[1]) > 0.01:
    sys.exit("lv2-editor-check: the reopened session differs")
print("the reopened session shows the same panel, holds the same state and exports at the same level")
PYTHON
