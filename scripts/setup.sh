#!/usr/bin/env bash
# Installs what building, testing and the demo need, from Debian's packages.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsndfile1-dev libpng-dev libstb-dev
  python3 python3-pil python3-numpy python3-matplotlib fonts-dejavu-core
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb xauth
  libxcb1-dev libxcb-xtest0-dev
  lv2-dev liblilv-dev lilv-utils sordi jalv jackd2
  qemu-system-x86 mmdebstrap e2fsprogs
  dpkg-dev debhelper lintian xz-utils zip
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
