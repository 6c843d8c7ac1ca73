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
  python3 - "$session" "$1" <<'PY'
import array, base64, glob, math, os, re, struct, sys
session, export = sys.argv[1], sys.argv[2]
dirs = re.findall(r'unique-id="urn:zq3r:compressor".*?state-dir="([^"]+)"', open(session + "/lv2test.ardour").read(), re.S)
state = open(glob.glob(f"{session}/plugins/*/{dirs[-1]}/state.ttl")[-1]).read()
chunk = base64.b64decode(re.search(r'"""(.*?)"""', state, re.S).group(1))
working = struct.unpack("<6f", chunk[12:36])
data = open(export, "rb").read()
at = data.find(b"data")
samples = array.array("f", data[at + 8: at + 8 + struct.unpack("<I", data[at + 4:at + 8])[0]])
rms = math.sqrt(sum(x * x for x in samples) / len(samples))
print(f"  state: program {struct.unpack('<I', chunk[36:40])[0]}, working values {[round(v, 4) for v in working]}")
print(f"  export: peak {max(map(abs, samples)):.6f}, RMS {20 * math.log10(rms):.4f} dBFS")
PY
}

for step in factory change-session resave-session; do
  echo "=== $step"
  [ "$step" = factory ] || ardour7-lua "$here/$step.lua" "$session" | tail -1
  ardour7-export -b float -o "$work/$step.wav" "$session" lv2test > /dev/null
  show "$work/$step.wav"
done
