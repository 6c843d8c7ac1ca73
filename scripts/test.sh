#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test suite:
# natively, under the address/undefined and thread sanitizers, the 32-bit
# DLL's static checks and its programs under 32-bit Wine in an emulated PC,
# and the 64-bit suites under Wine; then builds the release's packages and
# installs them into a fresh Debian 12 root.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh || exit 1

presets=(native asan tsan win32 win64)
jobs=$(nproc)
summary=()
failed=0

for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
    summary+=("$preset: BUILD FAILED")
    failed=1
    continue
  fi
  # The 32-bit DLL runs in an emulated PC whose image is built once; without
  # it nothing 32-bit can run, and the stage must not pass as if it had.
  if [ "$preset" = win32 ] && ! scripts/machine/build-image.sh >/dev/null; then
    echo "=== win32: the 32-bit DLL was NOT run: the emulated machine's image could not be built (see above)"
    summary+=("win32: FAILED: the 32-bit DLL was not run, the emulated machine's image could not be built")
    failed=1
    continue
  fi
  echo "=== $preset: tests"
  log="build/$preset/ctest.log"
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  line=$(grep -E 'tests passed|No tests were found' "$log" | tail -n 1)
  summary+=("$preset: ${line:-no summary}")
  [ "$status" -eq 0 ] || failed=1
done

# The release from a clean copy of the sources: the Debian packages must
# pass lintian, install with apt, work in a host and leave nothing behind.
echo "=== packages: build, lintian, install into a fresh Debian 12 root"
if scripts/package.sh --test; then
  summary+=("packages: built, lintian clean, installed, used and removed without a trace")
else
  summary+=("packages: FAILED (see above)")
  failed=1
fi

echo
echo "=== Summary"
printf '%s\n' "${summary[@]}"
exit $failed
