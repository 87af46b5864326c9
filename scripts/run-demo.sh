#!/usr/bin/env bash
# Builds the demo and runs it: in a window when a display is reachable, otherwise it renders the
# first frame headless and prints the path of the PNG it wrote. Only what the Linux demo needs
# is installed and built (its own build folder, build/demo: no tests, examples or Windows tools).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
build=build/demo
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_BUILD_TESTS=OFF \
  -DVANTREL_BUILD_EXAMPLES=OFF -DVANTREL_BUILD_BENCH=OFF -DVANTREL_BUILD_DOCS=OFF \
  -DVANTREL_INSTALL=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target vantrel_demo vantrel_snapshot demo_assets

assets="$PWD/$build/assets"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$assets" && exec ../demo/vantrel_demo
fi
out="$PWD/$build/vantrel-frame.png"
cd "$assets" && ../demo/vantrel_snapshot "$out"
