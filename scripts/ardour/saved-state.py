#!/usr/bin/env python3
"""Prints what an Ardour session saved for the compressor and how loud an export is.

Usage: saved-state.py SESSION_FOLDER EXPORT_WAV

The session is the one scripts/ardour/make-session.lua makes (lv2test.ardour);
the export is a 32-bit float WAV from `ardour7-export -b float`. The state is
the plug-in's one property, the VST chunk's bytes: the program shown and the
working values are read from it, and its digest tells whether two saves hold
the same bytes.
"""
import array
import base64
import glob
import hashlib
import math
import re
import struct
import sys


def saved_chunk(session):
    text = open(session + "/lv2test.ardour").read()
    folders = re.findall(r'unique-id="urn:zq3r:compressor".*?state-dir="([^"]+)"', text, re.S)
    if not folders:
        sys.exit(f"saved-state: {session}/lv2test.ardour holds no state of the compressor")
    states = glob.glob(f"{session}/plugins/*/{folders[-1]}/state.ttl")
    if not states:
        sys.exit(f"saved-state: no state.ttl in {session}/plugins for {folders[-1]}")
    return base64.b64decode(re.search(r'"""(.*?)"""', open(states[-1]).read(), re.S).group(1))


def float_samples(path):
    data = open(path, "rb").read()
    at = data.find(b"data")
    if not data.startswith(b"RIFF") or at < 0:
        sys.exit(f"saved-state: {path} is not a WAV file")
    size = struct.unpack("<I", data[at + 4:at + 8])[0]
    return array.array("f", data[at + 8:at + 8 + size])


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: saved-state.py SESSION_FOLDER EXPORT_WAV")
    chunk = saved_chunk(sys.argv[1])
    working = struct.unpack("<6f", chunk[12:36])
    program = struct.unpack("<I", chunk[36:40])[0]
    samples = float_samples(sys.argv[2])
    rms = math.sqrt(sum(x * x for x in samples) / len(samples))
    print(f"  state: program {program}, working values {[round(v, 4) for v in working]}")
    print(f"  state bytes: {len(chunk)}, sha256 {hashlib.sha256(chunk).hexdigest()[:16]}")
    print(f"  export: peak {max(map(abs, samples)):.6f}, RMS {20 * math.log10(rms):.4f} dBFS")


main()
