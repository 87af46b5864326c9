#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vantrel need.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  libgtest-dev googletest
  libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libx11-dev libxext-dev libxft-dev libfontconfig-dev libfreetype-dev libxtst-dev
  libpng-dev fonts-dejavu-core
  xvfb xdotool x11-utils imagemagick
  # The Windows program: cross-compiler, and Wine (64-bit) to run its tests and demo.
  mingw-w64 g++-mingw-w64-x86-64-posix wine wine64
  # The fuzz targets: clang with the libFuzzer and sanitizer runtimes.
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
