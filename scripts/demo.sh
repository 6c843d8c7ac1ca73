#!/usr/bin/env bash
# Installs what is missing, builds the renderer (native preset) and runs it on
# its embedded demo: a synthesized drum and bass track goes to out/demo-in.wav,
# its compressed version to out/demo-out.wav, and the levels are printed. The
# compressor is set through its editor (threshold -30 dB, ratio 0.3, make-up
# +12 dB: loud passages pulled down, quiet ones lifted), the editor's picture
# goes to out/demo-editor.png and a plot of what it did to out/demo-plot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
echo "=== Building the renderer in build/native (a few minutes the first time)"
cmake --preset native >/dev/null
log=build/native/demo-build.log
if ! cmake --build --preset native --target zq3r-render >"$log" 2>&1; then
  tail -n 40 "$log"
  echo "The build failed; the whole log is in $log" >&2
  exit 1
fi
echo "=== Rendering the demo"
build/native/tools/render/zq3r-render --threshold-db -30 --ratio 0.3 --makeup-db 12 \
  --editor-png out/demo-editor.png --plot out/demo-plot.png
echo
echo "Files:"
echo "  $(pwd)/out/demo-in.wav      the demo as synthesized"
echo "  $(pwd)/out/demo-out.wav     the demo through the ZQ3R Compressor"
echo "  $(pwd)/out/demo-editor.png  the compressor's editor with these settings"
echo "  $(pwd)/out/demo-plot.png    input and output level and gain reduction over time"
