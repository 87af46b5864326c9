#!/usr/bin/env bash
# End to end on Windows under Wine: the cross-built demo started as a user starts it, driven with
# xdotool on an X display, pixels read back with ImageMagick. With the x11 build's demo given as
# the second argument it also compares the two frames pixel by pixel.
#   usage: tests/e2e/win32_demo_test.sh BUILD/mingw/demo [BUILD/linux/demo/vantrel_demo]
set -uo pipefail

exe_dir=$(cd "${1:?the folder of vantrel_demo.exe}" && pwd)
x11_demo=${2:-}
[ -n "$x11_demo" ] && x11_demo=$(realpath "$x11_demo")
[ -n "${DISPLAY:-}" ] || { echo "win32 e2e: no DISPLAY: skipped" >&2; exit 77; }
for tool in wine xdotool import convert compare xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "win32 e2e: $tool is not installed" >&2; exit 2; }
done
xdpyinfo >/dev/null 2>&1 || { echo "win32 e2e: no X display" >&2; exit 2; }
source "$(dirname "$0")/e2e_common.sh"
e2e_use_wine
e2e_start win32-e2e

TITLE="Dimostrazione di FX_Cartoon abbinato con Texture CellShader"

# Starts $program (the demo unless another is named) in a fresh copy of its assets; EXTRA is
# passed to env.
program=vantrel_demo.exe
launch() {
  rm -rf "$work/run" && mkdir -p "$work/run"
  cp "$exe_dir/$program" "$exe_dir"/*.bmp "$exe_dir"/*.sdr "$work/run/"
  (cd "$work/run" && exec env "$@" wine "$program" >"$work/out.txt" 2>&1) &
  pid=$!
}
# The first visible window named exactly NAME, waiting up to 90 s (a guard against a hang: a
# loaded machine starts Wine slowly).
find_window() {
  local w
  w=$(timeout 90 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
  [ -n "$w" ] && { echo "$w"; return; }
  # What there is instead, for the failure to be understood from the log.
  { echo "  no window named '$1'; the program is" \
         "$(kill -0 "$pid" 2>/dev/null && echo running || echo gone); windows with names:"
    xwininfo -root -tree 2>/dev/null | grep -E '^ +0x[0-9a-f]+ "' | head -n 20; } >&2
}
# The exit code of the program, waiting up to 20 s; 124 when it does not end.
wait_exit() {
  for _ in $(seq 200); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"; local rc=$?; pid=""; return $rc
    fi
    sleep 0.1
  done
  return 124
}
gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }
answer() { # KEY in the question box, which must then go away
  local box; box=$(find_window "Video!")
  [ -n "$box" ] || { echo "  no question box to answer with $1"; return 1; }
  xdotool windowactivate --sync "$box" >/dev/null 2>&1; e2e_key "$box" "$1"
  e2e_until 10 gone "$box" && return 0
  echo "  the question box is still there after $1 ($(xdotool getwindowfocus 2>&1) has the focus)"
  return 1
}
geometry() { xdotool getwindowgeometry --shell "$1" | tr '\n' ' '; }
# Dark pixels starting along row Y of a capture: each outline edge gives one.
outline_edges() {
  convert "$1" -crop "x1+0+$2" -colorspace gray -depth 8 txt:- | awk 'NR > 1 {
    split($0, f, "[()]"); dark = f[2] + 0 < 40; if (dark && !was) n++; was = dark }
    END { print n + 0 }'
}
# Waits until window W shows the outlined columns and holds still; leaves the picture in FILE.
settle() {
  local w=$1 file=$2
  rm -f "$file.last"
  showing() {
    import -window "$w" "$file" 2>/dev/null || return 1
    local same=1
    [ -f "$file.last" ] && compare -metric AE "$file" "$file.last" null: >/dev/null 2>&1 || same=0
    cp "$file" "$file.last"
    [ $same = 1 ] && [ "$(outline_edges "$file" $(($(identify -format %h "$file") / 2)))" -ge 8 ]
  }
  e2e_until 30 showing
}
# Waits until window W's picture differs from BEFORE by more than 5000 pixels and holds still;
# leaves it in FILE and the count in $changed.
settle_changed() {
  local w=$1 before=$2 file=$3
  changed=0
  moved() {
    import -window "$w" "$file" 2>/dev/null || return 1
    local last=$changed
    changed=$(compare -metric AE "$before" "$file" null: 2>&1)
    changed=${changed%% *}
    [ "${changed%.*}" -gt 5000 ] && [ "$changed" = "$last" ]
  }
  e2e_until 30 moved
}

# Question box, then No: the titled 800 x 600 window with the four outlined columns.
launch
box=$(find_window "Video!")
[ -n "$box" ] && pass "the question box appears with its caption" || fail question "no box"
answer n
main=$(find_window "$TITLE")
if [ -n "$main" ]; then
  settle "$main" "$work/still.png"
  eval "$(geometry "$main")"
  # Wine draws the frame around the client window itself: equal side and bottom borders
  # around the client make an outer rectangle of 800 x 600 at (0, 0).
  b=$X
  if [ $((X + WIDTH + b)) -eq 800 ] && [ $((Y + HEIGHT + b)) -eq 600 ] && [ "$Y" -gt "$b" ]; then
    pass "No gives the titled window, outer rectangle 800 x 600 at (0, 0)"
  else
    fail "window rectangle" "client ${WIDTH}x${HEIGHT} at ($X,$Y)"
  fi
  edges=$(outline_edges "$work/still.png" $((HEIGHT / 2)))
  [ "$edges" -ge 8 ] && pass "four outlined columns ($edges edges)" || fail columns "$edges edges"
  cx=$((X + WIDTH / 2)); cy=$((Y + HEIGHT / 2))
  xdotool mousemove $cx $cy mousedown 1 mousemove $((cx + 40)) $((cy + 10)) \
    mousemove $((cx + 90)) $((cy + 20)) mouseup 1
  settle_changed "$main" "$work/still.png" "$work/turned.png" &&
    pass "a left drag changes the picture ($changed pixels)" || fail drag "$changed pixels changed"
  e2e_key "$main" Escape
  wait_exit; rc=$?
  [ $rc -eq 0 ] && pass "Escape ends with exit code 0" || fail escape "exit code $rc"
else
  fail "main window" "none titled '$TITLE'"
fi
kill "$pid" 2>/dev/null; pid=""

# Yes: a window the size of the screen.
launch
answer y
main=$(find_window "$TITLE")
if [ -n "$main" ]; then
  eval "$(geometry "$main")"
  read -r sw sh < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
  [ "$WIDTH" -eq "$sw" ] && [ "$HEIGHT" -eq "$sh" ] && [ "$X" -eq 0 ] && [ "$Y" -eq 0 ] &&
    pass "Yes gives a screen-sized window" || fail "full screen" "${WIDTH}x${HEIGHT} at ($X,$Y)"
  e2e_key "$main" Escape
  wait_exit
else
  fail "full screen" "no window"
fi
kill "$pid" 2>/dev/null; pid=""

# Closing the window (Alt+F4: the system close command) ends with exit code 0.
launch
answer n
main=$(find_window "$TITLE")
if [ -n "$main" ]; then
  settle "$main" "$work/close.png"
  xdotool windowactivate --sync "$main" >/dev/null 2>&1; e2e_key "$main" alt+F4
  wait_exit; rc=$?
  [ $rc -eq 0 ] && pass "closing the window ends with exit code 0" || fail close "exit code $rc"
else
  fail close "no window"
fi
kill "$pid" 2>/dev/null; pid=""

# A forced pixel-format failure (the demo's test copy): the initialisation message, then a
# non-zero exit.
program=vantrel_demo_no_pixel_format.exe launch
answer n
error=$(find_window "Error")
if [ -n "$error" ]; then
  pass "a failed context shows the error box"
  import -window "$error" "$work/error.png"
  xdotool windowactivate --sync "$error" >/dev/null 2>&1; e2e_key "$error" Return
  wait_exit; rc=$?
  [ $rc -ne 0 ] && [ $rc -ne 124 ] && pass "a failed context exits non-zero ($rc)" ||
    fail "failed context" "exit code $rc"
else
  fail "failed context" "no error box"
fi
kill "$pid" 2>/dev/null; pid=""

# Cross-backend agreement: the same frame from the x11 build, over the client area both share.
# Full screen on both, where the whole screen can be compared; the 800 x 600 window's client
# area (794 x 575 at (3, 22)) is the same on both too, since x11 keeps Win32's frame metrics.
if [ -n "$x11_demo" ]; then
  launch
  answer y
  main=$(find_window "$TITLE")
  settle "$main" "$work/win32-window.png"
  eval "$(geometry "$main")"; ww=$WIDTH; wh=$HEIGHT
  import -window root "$work/win32.png"
  e2e_key "$main" Escape; wait_exit
  mkdir -p "$work/x11" && cp "$exe_dir"/*.bmp "$exe_dir"/*.sdr "$work/x11/"
  (cd "$work/x11" && exec "$x11_demo" >/dev/null 2>&1) &
  pid=$!
  box=$(find_window "Video!")
  # The x11 box takes keys sent to it; it is not activated through a window manager.
  [ -n "$box" ] && e2e_key "$box" y && e2e_until 10 gone "$box"
  main=$(find_window "$TITLE")
fi
if [ -n "$x11_demo" ] && [ -z "$main" ]; then
  fail "x11 frame" "no x11 window from $x11_demo"
  kill "$pid" 2>/dev/null; pid=""
elif [ -n "$x11_demo" ]; then
  settle "$main" "$work/x11-window.png"
  eval "$(geometry "$main")"
  import -window root "$work/x11.png"
  e2e_key "$main" Escape; wait_exit
  # Both cover the screen; the x11 client keeps a one-pixel border for WS_BORDER inside it.
  read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
  convert "$work/win32.png" -crop "${w}x${h}+0+0" +repage "$work/a.png"
  convert "$work/x11.png" -crop "${w}x${h}+0+0" +repage "$work/b.png"
  differing=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1)
  share=$(awk -v d="$differing" -v n=$((w * h)) 'BEGIN { printf "%.3f", 100 * (d + 0) / n }')
  echo "cross-backend: win32 client ${ww}x${wh}, x11 client ${WIDTH}x${HEIGHT}," \
       "compared ${w}x${h}: $differing pixels differ ($share %)"
  [ -n "${VANTREL_KEEP_FRAMES:-}" ] && cp "$work/a.png" "$work/b.png" "$VANTREL_KEEP_FRAMES/"
fi

e2e_nothing_held
[ $failures -eq 0 ] && echo "win32 e2e: all passed" || echo "win32 e2e: $failures failed"
exit $((failures > 0))
