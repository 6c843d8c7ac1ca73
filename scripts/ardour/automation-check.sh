#!/bin/sh
# Checks the plug-in in Ardour 7.3 without Ardour's window: Ardour's own
# scanner lists it, and a lane on its threshold written with Ardour's Lua
# changes the exported audio. Leaves the sessions for Ardour's window. A
# manual check, not part of scripts/test.sh.
#
#   scripts/ardour/automation-check.sh [library]   (default build/native/zq3r-compressor.so)
#
# Needs Debian's ardour (ardour7-lua), jackd2 and python3. Ardour keeps its
# settings in a home of its own under the work folder, and JACK runs on a
# dummy driver under a server name of its own.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
library=$(realpath "${1:-$root/build/native/zq3r-compressor.so}")
work="$root/out/ardour"
server="zq3r-ardour-$$"

for tool in ardour7-lua jackd python3; do
  command -v "$tool" >/dev/null || { echo "automation-check: $tool is missing (apt-get install ardour jackd2 python3)" >&2; exit 2; }
done
[ -f "$library" ] || { echo "automation-check: no library at $library" >&2; exit 2; }

rm -rf "$work"
mkdir -p "$work/vst" "$work/home" "$work/sessions"
cp "$library" "$work/vst/"
export HOME="$work/home" LXVST_PATH="$work/vst" JACK_DEFAULT_SERVER="$server" JACK_NO_AUDIO_RESERVATION=1

jackd -n "$server" -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
jack=$!
trap 'kill $jack 2>/dev/null || true' EXIT INT TERM
sleep 2

echo "=== Ardour's scanner"
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -v -f "$work/vst/$(basename "$library")" 2>&1 |
  grep -E 'VST2Info' || { echo "automation-check: Ardour's scanner found no plug-in" >&2; exit 1; }

# JACK's dummy driver now and then drops a client at close; one more try.
session() {
  for attempt in 1 2; do
    rm -rf "$work/sessions/$1"
    if ardour7-lua "$here/automation-session.lua" "$work/sessions/$1" "$1" "$1" >"$work/$1.log" 2>&1 &&
       [ -s "$work/sessions/$1/export/$1.wav" ]; then
      return 0
    fi
  done
  echo "automation-check: the $1 session failed, see $work/$1.log" >&2
  exit 1
}

echo "=== Sessions: a sine through the compressor, without and with a lane on its threshold"
session still
session automated
grep -E '^(plug-in|parameter):' "$work/automated.log"

echo "=== Exported levels, RMS in dBFS per half second"
python3 - "$work/sessions/still/export/still.wav" "$work/sessions/automated/export/automated.wav" <<'PYTHON'
import math, struct, sys, wave

def levels(path):
    with wave.open(path) as audio:
        channels, frames, rate = audio.getnchannels(), audio.getnframes(), audio.getframerate()
        samples = struct.unpack("<%dh" % (frames * channels), audio.readframes(frames))
    hop = rate // 2
    left = samples[::channels]
    return [20 * math.log10(max(1e-9, math.sqrt(sum(x * x for x in left[i:i + hop]) / hop) / 32768))
            for i in range(0, len(left) - hop + 1, hop)]

still, automated = levels(sys.argv[1]), levels(sys.argv[2])
print("still     " + " ".join("%6.1f" % v for v in still))
print("automated " + " ".join("%6.1f" % v for v in automated))
# The lane holds the threshold at 0 dB, then at -40 dB: louder than the
# factory -16 dB first, far quieter at the end.
if not (automated[0] > still[0] + 3 and automated[-1] < still[-1] - 10):
    sys.exit("automation-check: the lane did not change the exported audio as it should")
print("the lane on the threshold changes the exported audio")
PYTHON

echo "=== The sessions stay in $work/sessions for Ardour's window (HOME=$HOME LXVST_PATH=$LXVST_PATH, and JACK)"
