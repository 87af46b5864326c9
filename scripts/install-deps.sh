#!/usr/bin/env bash
# Installs the Debian packages Vantrel needs for what it is to do; several uses may be given.
#   run      build the libraries and the Linux demo, and run it (the default)
#   test     build and run the tests, the examples and the API reference
#   windows  cross-build the Windows program with mingw-w64 and run its tests under Wine
# Without root it only lists what is missing and fails.
set -euo pipefail

RUN=(
  build-essential cmake pkg-config
  libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libx11-dev libxext-dev libxft-dev libfontconfig-dev libfreetype-dev fonts-dejavu-core
  # xdpyinfo: whether a display is reachable
  x11-utils
)
TEST=(
  "${RUN[@]}" git
  libgtest-dev googletest libpng-dev doxygen
  # The end-to-end tests and the drag benchmark: a virtual screen, real input on it (XTest),
  # pictures read back from it; setxkbmap for the keyboard layouts.
  xvfb xdotool libxtst-dev imagemagick x11-xkb-utils
  # The same tests under real window managers of different kinds, and wmctrl to see them up.
  openbox xfwm4 fluxbox icewm wmctrl
  # The fuzz targets: clang with the libFuzzer and sanitizer runtimes.
  clang libclang-rt-14-dev
)
WINDOWS=(
  "${RUN[@]}"
  # The cross-compiler, GoogleTest's sources for it, and Wine (64-bit) to run the programs.
  mingw-w64 g++-mingw-w64-x86-64-posix googletest wine wine64
  # The Windows end-to-end test drives Wine on a virtual screen and compares screenshots.
  xvfb xdotool imagemagick x11-xkb-utils
)

[ $# -eq 0 ] && set -- run
PACKAGES=()
for use in "$@"; do
  case "$use" in
  run) PACKAGES+=("${RUN[@]}") ;;
  test) PACKAGES+=("${TEST[@]}") ;;
  windows) PACKAGES+=("${WINDOWS[@]}") ;;
  *)
    echo "usage: scripts/install-deps.sh [run] [test] [windows]" >&2
    exit 2
    ;;
  esac
done

missing=()
for p in $(printf '%s\n' "${PACKAGES[@]}" | sort -u); do
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
