#!/usr/bin/env bash
# The demo's and the picture buttons' end-to-end tests under real window managers, each on an
# Xvfb of its own started here, and outside_close's five destructions of each program's window
# (exit code 0, peak memory within 50 MB of the running level; times printed, not asserted).
#   usage: tests/e2e/wm_matrix_test.sh X11_DEMO_TESTS PICTURE_BUTTONS_FOLDER OUTSIDE_CLOSE
#          DEMO ASSETS_FOLDER [WINDOW_MANAGER...]
# The window managers default to openbox, xfwm4, fluxbox and icewm. VANTREL_WM_DISPLAY=N runs
# every server on display :N instead of one the server chooses.
set -uo pipefail

demo_tests=$(realpath "$1") buttons=$(realpath "$2") outside_close=$(realpath "$3")
demo=$(realpath "$4") assets=$(realpath "$5")
shift 5
managers=("$@")
[ ${#managers[@]} -gt 0 ] || managers=(openbox xfwm4 fluxbox icewm)
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool import xdpyinfo wmctrl "${managers[@]}"; do
  command -v "$tool" >/dev/null ||
    { echo "wm matrix: $tool is not installed (scripts/install-deps.sh test)" >&2; exit 2; }
done
source "$here/e2e_common.sh"
e2e_start wm-matrix
server="" manager=""
stop_display() {
  [ -n "$manager" ] && kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  manager="" server=""
}
trap 'stop_display; e2e_cleanup' EXIT

TITLE="Dimostrazione di FX_Cartoon abbinato con Texture CellShader"
for wm in "${managers[@]}"; do
  echo "==== $wm"
  # A display number nobody uses, chosen by the server itself unless VANTREL_WM_DISPLAY names one.
  if [ -n "${VANTREL_WM_DISPLAY:-}" ]; then
    echo "$VANTREL_WM_DISPLAY" >"$work/display"
    Xvfb ":$VANTREL_WM_DISPLAY" -noreset -nolisten tcp -screen 0 1280x1024x24 >/dev/null 2>&1 &
  else
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" \
      >/dev/null 2>&1 &
  fi
  server=$!
  e2e_until 30 grep -q '[0-9]' "$work/display" || { fail "$wm" "Xvfb did not start"; continue; }
  export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
  e2e_until 30 xdpyinfo >/dev/null 2>&1 || { fail "$wm" "Xvfb did not start"; continue; }
  "$wm" $([ "$wm" = xfwm4 ] && echo --compositor=off) >"$work/$wm.txt" 2>&1 &
  manager=$!
  if e2e_until 30 wmctrl -m >/dev/null 2>&1; then
    pass "$wm manages $DISPLAY"
  else
    fail "$wm" "the window manager did not come up"
    stop_display
    continue
  fi

  "$demo_tests" --gtest_filter='*Yes*:*NoGives*:*Drags*:*Destroyed*:*CloseButton*:*AltF4*' \
    >"$work/$wm-demo.txt" 2>&1 && pass "$wm: demo e2e" ||
    fail "$wm: demo e2e" "$(grep -E 'Failure|FAILED|Which is|Actual' "$work/$wm-demo.txt" | head -20)"

  bash "$here/picture_buttons_test.sh" "$buttons" >"$work/$wm-buttons.txt" 2>&1 &&
    pass "$wm: picture buttons e2e" ||
    fail "$wm: picture buttons e2e" "$(grep FAIL "$work/$wm-buttons.txt")"

  (cd "$assets" && "$outside_close" --answer 'Video!' n "$TITLE" "$demo") >"$work/$wm-close.txt" 2>&1
  rc=$?
  grep '^outside close' "$work/$wm-close.txt" | sed "s/^/  $wm demo: /"
  [ $rc -eq 0 ] && pass "$wm: the demo's window destroyed from outside, 5 times" ||
    fail "$wm: demo destroyed from outside" "$(tail -n 3 "$work/$wm-close.txt")"

  (cd "$buttons" && "$outside_close" "Vantrel picture buttons" ./picture_buttons) \
    >"$work/$wm-close-buttons.txt" 2>&1
  rc=$?
  grep '^outside close' "$work/$wm-close-buttons.txt" | sed "s/^/  $wm picture buttons: /"
  [ $rc -eq 0 ] && pass "$wm: the picture buttons' window destroyed from outside, 5 times" ||
    fail "$wm: picture buttons destroyed from outside" "$(tail -n 3 "$work/$wm-close-buttons.txt")"
  stop_display
done

[ $failures -eq 0 ] && echo "wm matrix: all passed" || echo "wm matrix: $failures failed"
exit $((failures > 0))
