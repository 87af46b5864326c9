#!/usr/bin/env bash
# Opens and closes the Wine session that the Windows tests share: the prefix is made once (tens
# of seconds), and its wineserver is kept running between the tests' processes.
#   usage: wine_session.sh start|stop PREFIX
set -euo pipefail
export WINEPREFIX=${2:?the Wine prefix}
export WINEDEBUG=-all
# Mono and Gecko would ask on screen to be installed; nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
case "${1:-}" in
start)
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1
  fi
  # A persistent server: each test's process then starts without starting one. It leaves the
  # output streams alone, or ctest would wait on it for the end of this test's output.
  # A server already running for the prefix (a run before this one) is kept as it is.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  # The session's own services (services.exe, the device and desktop processes) are started
  # here, away from ctest's output: started by a test's process, they would inherit its output
  # streams and keep ctest waiting after the test has ended.
  wineboot </dev/null >/dev/null 2>&1 || true
  echo "wine session: $(wine --version 2>/dev/null) in $WINEPREFIX"
  ;;
stop)
  wineserver -k </dev/null >/dev/null 2>&1 || true
  ;;
*)
  echo "usage: $0 start|stop PREFIX" >&2
  exit 2
  ;;
esac
