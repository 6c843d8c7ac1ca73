#!/usr/bin/env bash
# Measures the ZQ3R Compressor against compressors from Debian's packages,
# in one run on one machine: the renderer's --bench on the embedded demo for
# each plug-in in turn. Not part of CI.
#
# Usage: bench/compare-peers.sh [BUILD_FOLDER] [PASSES]
#   BUILD_FOLDER  where zq3r-render was built (default build/native)
#   PASSES        passes over the demo per plug-in (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/native}
passes=${2:-5}
renderer=$(realpath "$build/tools/render/zq3r-render" 2>/dev/null || true)
if [ -z "$renderer" ] || [ ! -x "$renderer" ]; then
  echo "No renderer in $build; build it first: cmake --build --preset native --target zq3r-render" >&2
  exit 1
fi

zam=/usr/lib/vst/ZamCompX2-vst.so
lsp=/usr/lib/vst/lsp-plugins/compressor-stereo.so
if [ ! -e "$zam" ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get install -y -qq zam-plugins >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$renderer" --quiet  # writes out/demo-in.wav

echo "=== ZQ3R Compressor"
"$renderer" out/demo-in.wav --bench "$passes"
for peer in "$zam" "$lsp"; do
  if [ -e "$peer" ]; then
    echo "=== $(basename "$peer")"
    "$renderer" out/demo-in.wav --bench "$passes" --plugin "$peer"
  fi
done
