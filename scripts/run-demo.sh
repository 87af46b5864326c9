#!/usr/bin/env bash
# Builds the demo and runs it: in a window when a display is reachable, otherwise it renders the
# first frame headless and prints the path of the PNG it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target vantrel_demo vantrel_snapshot demo_assets

assets="$PWD/build/default/assets"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$assets" && exec ../demo/vantrel_demo
fi
out="$PWD/build/default/vantrel-frame.png"
cd "$assets" && ../demo/vantrel_snapshot "$out"
