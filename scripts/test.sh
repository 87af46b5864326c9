#!/usr/bin/env bash
# Builds Vantrel three times (release, debug with ASan and UBSan, and the Windows program
# cross-built with mingw-w64) and runs every test with ctest; the Windows tests run under Wine.
# Then it makes the release packages of the release and Windows builds.
# Starts an Xvfb display for the end-to-end tests when none is given. Every suite runs even
# when an earlier one failed; a summary line per suite comes at the end, and the exit code is
# non-zero when any suite failed.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test windows || exit 1

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  for n in $(seq 90 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    # -noreset: a server that resets when its last client leaves refuses connections meanwhile,
    # and the tests connect and leave one after another.
    Xvfb ":$n" -noreset -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    break
  done
fi
echo "test: display $DISPLAY"

jobs=$(nproc)
summary=()
failed=0
# suite NAME COMMAND...: runs one suite, records its result and time, goes on either way.
suite() {
  local name=$1 start=$SECONDS
  shift
  echo "==== $name"
  if "$@"; then
    summary+=("PASS  $name ($((SECONDS - start)) s)")
  else
    summary+=("FAIL  $name ($((SECONDS - start)) s)")
    failed=1
  fi
}

build() { cmake --preset "$1" && cmake --build --preset "$1" -j "$jobs"; }
# A suite builds first; a build that fails fails its suite without running the tests.
build_and_test() { build "$1" && ctest --preset "$1" -j "$jobs"; }

suite "release build and tests" build_and_test default
suite "asan+ubsan build and tests" build_and_test asan
# The Windows build: its suites and the end-to-end tests under Wine on the same display, with
# the release build's demo for the frame comparison. Every test is its own Wine process.
suite "mingw build and tests under Wine" build_and_test mingw
# The release packages of both builds, with the shared libraries their package tests built
# beside them: a .deb and a .tar.gz of the Linux one, a .zip of the Windows one.
packages() {
  local out="$PWD/build/packages" preset
  rm -rf "$out"
  for preset in default mingw; do
    (cd "build/$preset" && cpack -B "$out") || return 1
  done
  rm -rf "$out/_CPack_Packages"
  ls -l "$out"
}
suite "release packages into build/packages" packages
suite "fuzz targets, 60 s each" scripts/fuzz.sh 60

echo "==== summary"
printf '%s\n' "${summary[@]}"
exit "$failed"
