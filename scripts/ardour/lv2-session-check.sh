#!/usr/bin/env bash
# A manual check of the LV2 plug-in in Ardour 7 (Debian's ardour), without
# its window: a session with a test tone (LSP's oscillator) into the
# compressor; a factory program chosen from the host's presets and the
# threshold turned; saved, reopened and saved again. It prints the program
# and working values the saved state holds each time, and the level of each
# export. Two exports of one session differ in the tone's phase, so the
# exports are compared by level, not sample for sample.
#
# Usage: scripts/ardour/lv2-session-check.sh [BUILD_FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-build/native}")
export LV2_PATH="$build/lib/lv2:/usr/lib/lv2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
session="$work/session"

ardour7-lua "$here/make-session.lua" "$session" | tail -1
# Five seconds of session range, which the export renders.
sed -i 's|  <Locations/>|  <Locations><Location id="900" name="session" start="a0" end="a1411200000" flags="IsSessionRange" locked="0" timestamp="0" cue="0"/></Locations>|' \
  "$session/lv2test.ardour"

show() {
  python3 "$here/saved-state.py" "$session" "$1"
}

for step in factory change-session resave-session; do
  echo "=== $step"
  [ "$step" = factory ] || ardour7-lua "$here/$step.lua" "$session" | tail -1
  ardour7-export -b float -o "$work/$step.wav" "$session" lv2test > /dev/null
  show "$work/$step.wav"
done
