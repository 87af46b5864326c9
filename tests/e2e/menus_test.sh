#!/usr/bin/env bash
# End to end for the menus example on a real X display: the menu bar from the keyboard (Alt+V
# with arrows and Enter, a mnemonic, Escape out of a submenu, a grey-free F10 path to Exit), the
# pop-ups as windows on the screen, one command per choice and none for a cancelled menu. Every
# wait is for a condition (the menu's keyboard grab, its pop-up windows, a line of output).
#   usage: tests/e2e/menus_test.sh FOLDER_OF_THE_EXAMPLES
set -uo pipefail

dir=$(cd "${1:?the folder of the menus example}" && pwd)
[ -n "${DISPLAY:-}" ] || { echo "menus e2e: no DISPLAY: skipped" >&2; exit 77; }
for tool in xdotool xdpyinfo cc; do
  command -v "$tool" >/dev/null || { echo "menus e2e: $tool is not installed" >&2; exit 2; }
done
xdpyinfo >/dev/null 2>&1 || { echo "menus e2e: no X display" >&2; exit 2; }
source "$(dirname "$0")/e2e_common.sh"
e2e_start menus-e2e

out() { tr -d '\r' <"$work/out.txt" 2>/dev/null; }
count() { out | grep -c -- "$1" || true; }
has_count() { [ "$(count "$1")" -eq "$2" ]; }
# Whether another client holds the keyboard: an open menu grabs it.
cc -x c -o "$work/grabbed" - -lX11 <<'C' || { fail probe "cannot build the grab probe"; exit 1; }
#include <X11/Xlib.h>
int main(void) {
  Display *d = XOpenDisplay(0);
  if (!d) return 2;
  int r = XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime);
  if (r == GrabSuccess) XUngrabKeyboard(d, CurrentTime);
  XCloseDisplay(d);
  return r == GrabSuccess; /* 0: grabbed by someone else */
}
C
grabbed() { "$work/grabbed"; }
released() { ! "$work/grabbed"; }
popups() { xdotool search --onlyvisible --name '^vantrel menu$' 2>/dev/null | wc -l; }
popups_are() { [ "$(popups)" -eq "$1" ]; }

(cd "$dir" && exec ./menus >"$work/out.txt" 2>"$work/err.txt") &
pid=$!
main=$(timeout 60 xdotool search --sync --onlyvisible --name '^Vantrel: menus$' 2>/dev/null | head -n 1)
[ -n "$main" ] || { fail start "no window: $(cat "$work/err.txt")"; exit 1; }
xdotool windowfocus --sync "$main"

# Opens the bar with KEYS and waits for the loop to hold the keyboard and show N pop-ups.
open_menu() {
  xdotool key --clearmodifiers "$1"
  e2e_until 20 grabbed && e2e_until 20 popups_are "$2"
}

# Alt+V, Down to Effect, Right opens it (Outline lit), Down to Bands, Enter.
if open_menu alt+v 1; then
  xdotool key Down Right
  e2e_until 20 popups_are 2 && pass "Right opens the Effect submenu" || fail submenu "$(popups) pop-ups"
  xdotool key Down Return
  e2e_until 20 released
  e2e_until 20 grep -q '^command 301$' "$work/out.txt" && pass "Alt+V, Down, Right, Down, Enter chooses Bands" ||
    fail "arrows" "$(out | tr '\n' ';')"
else
  fail "Alt+V" "no menu opened"
fi
e2e_until 20 popups_are 0 || fail close "pop-ups left: $(popups)"

# A mnemonic chooses at once: Alt+V, F (Fog). An Enter typed behind it while the program is busy
# is not the next menu's.
open_menu alt+v 1 && { kill -STOP "$pid"; xdotool key f Return; kill -CONT "$pid"; }
e2e_until 20 grep -q '^command 200$' "$work/out.txt" && pass "a mnemonic chooses Fog" ||
  fail mnemonic "$(out | tr '\n' ';')"
e2e_until 20 released

# The open menus as drawn, against reference pictures: the bar's rows with View lit and both
# pop-ups, pixel by pixel, less a few pixels on the letters' soft edges. VANTREL_UPDATE_PICTURES=1
# writes the references instead.
refs=$(cd "$(dirname "$0")/../data/menus" && pwd)
same_picture() { # NAME WINDOW [CROP]
  local got="$work/$1.png" differ
  import -window "$2" ${3:+-crop "$3"} +repage "$got" 2>/dev/null || { fail "$1" "no picture taken"; return; }
  if [ -n "${VANTREL_UPDATE_PICTURES:-}" ]; then cp "$got" "$refs/$1.png"; return; fi
  differ=$(compare -metric AE -fuzz 20% "$refs/$1.png" "$got" null: 2>&1)
  [[ "$differ" =~ ^[0-9]+$ ]] && [ "$differ" -le 40 ] && pass "$1 looks as it should ($differ pixels differ)" ||
    fail "$1" "differs from $refs/$1.png: $differ"
}

# Escape backs out one level at a time: from Effect to View, to the bar, out of the menu; no
# command is posted.
before=$(count '^command')
if open_menu alt+v 1; then
  xdotool key e
  e2e_until 20 popups_are 2 || fail escape "Effect did not open"
  read -r view effect < <(xdotool search --onlyvisible --name '^vantrel menu$' | tr '\n' ' ')
  same_picture menu_bar "$main" "$(xdotool getwindowgeometry --shell "$main" | awk -F= '/^WIDTH/ { print $2 }')x19+0+0"
  same_picture view_menu "$view"
  same_picture effect_menu "$effect"
  xdotool key Escape
  e2e_until 20 popups_are 1 && pass "Escape closes the submenu alone" || fail escape "$(popups) pop-ups"
  xdotool key Escape
  e2e_until 20 popups_are 0 && grabbed && pass "a second Escape leaves the bar lit" ||
    fail escape "$(popups) pop-ups"
  xdotool key Escape
  e2e_until 20 released && pass "a third Escape leaves the menu" || fail escape "still grabbed"
fi
[ "$(count '^command')" -eq "$before" ] && pass "a cancelled menu posts nothing" ||
  fail cancel "$(out | tr '\n' ';')"

geometry() { # the pop-up's X Y WIDTH HEIGHT, the last opened when there are several
  local id
  id=$(xdotool search --onlyvisible --name '^vantrel menu$' 2>/dev/null | tail -n 1)
  xdotool getwindowgeometry --shell "$id" | awk -F= '/^(X|Y|WIDTH|HEIGHT)=/ { printf "%s ", $2 }'
}

# A click on a title opens its menu right below the bar; moving onto the other title opens that
# one instead; a click on the open title closes the menu, with nothing posted.
read -r fx fy < <(xdotool getwindowgeometry --shell "$main" | awk -F= '/^(X|Y)=/ { printf "%s ", $2 }')
before=$(count '^command')
xdotool mousemove $((fx + 60)) $((fy + 9)) click 1 # on View, right of File
if e2e_until 20 grabbed && e2e_until 20 popups_are 1; then
  read -r vx vy _ _ < <(geometry)
  [ "$vy" -eq $((fy + 19)) ] && [ "$vx" -gt "$fx" ] && pass "a click on View opens its menu below the bar" ||
    fail "title click" "the menu at $vx,$vy, the bar at $fx,$fy"
  xdotool mousemove $((fx + 12)) $((fy + 9)) # onto File
  e2e_until 20 eval '[ "$(geometry | cut -d" " -f1)" -eq "$fx" ]' &&
    pass "moving onto File opens File's menu instead" || fail "title move" "$(geometry)"
  xdotool click 1
  e2e_until 20 released && e2e_until 20 popups_are 0 && [ "$(count '^command')" -eq "$before" ] &&
    pass "a click on the open title closes the menu" || fail "title close" "$(popups) pop-ups"
else
  fail "title click" "no menu opened"
fi

# The pointer: a click on Effect opens it, a click on Plain chooses it; a click outside every
# pop-up closes the menu and posts nothing.
if open_menu alt+v 1; then
  read -r vx vy _ vh < <(geometry)
  row=$(((vh - 4 - 9) / 2)) # View: Fog, a separator line, Effect
  xdotool mousemove $((vx + 30)) $((vy + 2 + row + 9 + row / 2)) click 1
  e2e_until 20 popups_are 2 && pass "a click on Effect opens it" || fail "click" "$(popups) pop-ups"
  read -r ex ey _ _ < <(geometry)
  xdotool mousemove $((ex + 30)) $((ey + 2 + 2 * row + row / 2)) click 1
  e2e_until 20 grep -q '^command 302$' "$work/out.txt" && pass "a click on Plain chooses it" ||
    fail "click" "$(out | tr '\n' ';')"
  e2e_until 20 released
fi
before=$(count '^command')
if open_menu alt+v 1; then
  read -r vx vy vw vh < <(geometry)
  xdotool mousemove $((vx + vw + 200)) $((vy + vh + 200)) click 1
  e2e_until 20 released && e2e_until 20 popups_are 0 && pass "a click outside closes the menu" ||
    fail outside "$(popups) pop-ups"
fi
[ "$(count '^command')" -eq "$before" ] && pass "and posts nothing" || fail outside "$(out | tr '\n' ';')"

# A right click asks for the context menu at the pointer: Down, Enter chooses its first item
# (Fog); Escape closes it with nothing posted.
open_context() {
  xdotool mousemove --window "$main" 300 200 click 3
  e2e_until 20 grabbed && e2e_until 20 popups_are 1
}
if open_context; then
  read -r cx cy _ _ < <(geometry)
  read -r mx my < <(xdotool getmouselocation --shell | awk -F= '/^(X|Y)=/ { printf "%s ", $2 }')
  [ "$cx" -eq "$mx" ] && [ "$cy" -eq "$my" ] && pass "the context menu opens at the pointer" ||
    fail "context place" "at $cx,$cy, the pointer at $mx,$my"
  xdotool key Down Return
  e2e_until 20 has_count '^command 200$' 2 && e2e_until 20 released && pass "right click, Down, Enter chooses Fog" ||
    fail "context choose" "$(out | tr '\n' ';')"
else
  fail "right click" "no context menu opened"
fi
before=$(count '^command')
open_context && xdotool key Escape
e2e_until 20 released && e2e_until 20 popups_are 0 && [ "$(count '^command')" -eq "$before" ] &&
  pass "right click, Escape closes it and posts nothing" || fail "context Escape" "$(popups) pop-ups"

# F10 lights File; Down opens it, Enter chooses Exit and the program ends.
open_menu F10 0 && xdotool key Down Return
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  fail exit "File > Exit did not end the program: $(out | tr '\n' ';')"
else
  wait "$pid"; rc=$?; pid=""
  out | grep -q '^command 100$' && [ $rc -eq 0 ] && pass "F10, Down, Enter chooses Exit, which ends it" ||
    fail exit "exit code $rc, $(out | tr '\n' ';')"
fi

e2e_nothing_held
[ $failures -eq 0 ] && echo "menus e2e: all passed" || echo "menus e2e: $failures failed"
exit $((failures > 0))
