#!/usr/bin/env bash
# End to end for the picture-button example on a real X display, natively or under Wine: the
# window's button-face background, the buttons where Wine puts them, the status bar's text,
# hover pictures, one command per click, and clicks on a button's cut-away corner reaching the
# main window. Input through xdotool, pixels read back with ImageMagick. Every wait is for a
# condition, with a deadline.
#   usage: tests/e2e/picture_buttons_test.sh FOLDER_OF_THE_PROGRAM_AND_PICTURES [wine]
set -uo pipefail

dir=$(cd "${1:?the folder of picture_buttons and its pictures}" && pwd)
runner=${2:-}
[ -n "${DISPLAY:-}" ] || { echo "picture buttons e2e: no DISPLAY: skipped" >&2; exit 77; }
for tool in xdotool import xdpyinfo $runner; do
  command -v "$tool" >/dev/null || { echo "picture buttons e2e: $tool is not installed" >&2; exit 2; }
done
xdpyinfo >/dev/null 2>&1 || { echo "picture buttons e2e: no X display" >&2; exit 2; }
source "$(dirname "$0")/e2e_common.sh"
program=picture_buttons
if [ "$runner" = wine ]; then
  program=picture_buttons.exe
  e2e_use_wine
fi
TITLE="Vantrel picture buttons"
e2e_start buttons-e2e

# The program's output so far; Windows programs end their lines with CR LF.
out() { tr -d '\r' <"$work/out.txt" 2>/dev/null; }
# Waits up to SECONDS for a line matching PATTERN in the program's output.
wait_line() {
  for _ in $(seq $(($2 * 10))); do
    out | grep -q -- "$1" && return 0
    sleep 0.1
  done
  return 1
}
count() { out | grep -c -- "$1" || true; }
# The colour at screen pixel (X, Y) of the window at (0, 0) as "R G B"; where a window manager
# moved the window, (DX, DY) further.
dx=0 dy=0
pixel() {
  import -window root -crop "1x1+$(($1 + dx))+$(($2 + dy))" -depth 8 txt:- 2>/dev/null |
    awk 'NR == 2 { split($0, f, "[()]"); split(f[2], c, ","); print int(c[1]), int(c[2]), int(c[3]) }'
}
# True when screen pixel (X, Y) is within 16 of the colour R G B, waiting up to 5 s for it.
becomes() {
  local want="$3 $4 $5" got
  for _ in $(seq 25); do
    got=$(pixel "$1" "$2")
    awk -v g="$got" -v w="$want" 'BEGIN { split(g, a, " "); split(w, b, " ");
      for (i = 1; i <= 3; i++) { d = a[i] - b[i]; if (d < -16 || d > 16) exit 1 } }' && return 0
    sleep 0.2
  done
  echo "  pixel ($1, $2) is $got, not $want" >&2
  return 1
}

cp "$dir/$program" "$dir"/*.BMP "$work/"
(cd "$work" && exec $runner "./$program" >"$work/out.txt" 2>"$work/err.txt") &
pid=$!
if ! wait_line '^ready' 60; then
  fail start "the program did not come up: $(cat "$work/err.txt")"
  exit 1
fi
main=$(timeout 20 xdotool search --sync --onlyvisible --name "^$TITLE\$" 2>/dev/null | head -n 1)
# The native X window is the client area, at (3, 22) unless a window manager moved it.
[ -z "$runner" ] && [ -n "$main" ] && read -r dx dy < <(xwininfo -id "$main" |
  awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x - 3, y - 22 }')

# The class background, COLOR_BTNFACE, is what Wine paints: 245 245 245 in its default scheme.
becomes 20 60 245 245 245 && [ "$(pixel 20 60)" = "245 245 245" ] &&
  pass "the window shows its class background, the button face" ||
  fail background "$(pixel 20 60)"

out | grep -q '^status: Percorso file$' && pass 'the status bar holds "Percorso file"' ||
  fail "status text" "$(out | grep '^status')"
read -r _ _ _ sl st sr sb < <(out | grep '^status bar at')
# Text is drawn in dark pixels; the bar's face is light.
dark=$(import -window root -crop "100x$((sb - st))+$((sl + dx))+$((st + dy))" -colorspace gray -depth 8 txt:- 2>/dev/null |
  awk 'NR > 1 { split($0, f, "[()]"); if (f[2] + 0 < 100) n++ } END { print n + 0 }')
[ "$dark" -ge 20 ] && pass "the first part of the status bar shows text ($dark dark pixels)" ||
  fail "status bar" "$dark dark pixels in its first part"

# Asked for at client (60, 100) and (220, 100), the buttons move themselves by fixed amounts
# (3 left, 19 up) from where their window rectangles lie: inside the 800 x 600 window at (0, 0),
# whose client area starts at (3, 22), they land at client (60, 103) and (220, 103), as in Wine.
out | grep -q '^button 101 PLAY at 63 125 159 173$' && out | grep -q '^button 102 STOP at 223 125 319 173$' &&
  pass "the buttons are where Wine puts them" || fail "button places" "$(out | grep '^button')"
read -r _ _ _ _ pl pt _ _ < <(out | grep '^button 101 PLAY at')
read -r _ _ _ _ ql qt _ _ < <(out | grep '^button 102 STOP at')
# Inside the PLAY disc, clear of its arrow: the normal picture's green, then the hover one's.
bx=$((pl + 24)); by=$((pt + 10))
becomes $bx $by 46 139 58 && pass "the button shows its normal picture" || fail normal "wrong colour"
xdotool mousemove $((bx + dx)) $((by + dy))
becomes $bx $by 62 187 78 && pass "hovering shows the hover picture" || fail hover "wrong colour"

xdotool mousemove $((bx + dx)) $((by + dy)) click 1
wait_line '^command 101 PLAY$' 10 || fail click "no command 101"

# The PLAY picture's top-left corner is magenta: cut away, so the main window's background shows
# there and the press reaches the main window.
[ "$(pixel $((pl + 1)) $((pt + 1)))" = "245 245 245" ] &&
  pass "the cut-away corner shows the window's background" ||
  fail "cut-away corner" "$(pixel $((pl + 1)) $((pt + 1)))"
xdotool mousemove $((pl + 1 + dx)) $((pt + 1 + dy)) click 1
if wait_line '^main window pressed at' 10; then
  pass "a click on a cut-away pixel reaches the main window"
else
  fail "cut-away click" "the main window got no press"
fi

xdotool mousemove $((ql + 48 + dx)) $((qt + 24 + dy)) click 1
wait_line '^command 102 STOP$' 10 && pass "the second button posts its own identifier" ||
  fail "second button" "no command 102"
# Each later line came after everything the earlier clicks posted: one command per click, none
# for the cut-away press.
[ "$(count '^command')" -eq 2 ] && [ "$(count '^command 101 PLAY$')" -eq 1 ] &&
  pass "each click posts one command, the cut-away press none" ||
  fail "commands" "$(out | grep '^command' | tr '\n' ';')"

[ -n "$main" ] && e2e_key "$main" Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  fail escape "the program did not end"
else
  wait "$pid"; rc=$?; pid=""
  [ $rc -eq 0 ] && pass "Escape ends with exit code 0" || fail escape "exit code $rc"
fi

e2e_nothing_held
[ $failures -eq 0 ] && echo "picture buttons e2e: all passed" || echo "picture buttons e2e: $failures failed"
exit $((failures > 0))
