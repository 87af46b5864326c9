# Shared by the end-to-end scripts: results, the work folder, the program under test and, for
# Windows programs, the Wine prefix. Source it, then call e2e_start NAME.
#   e2e_use_wine: a prefix given (ctest's shared one) keeps its server; one made here is removed
#   at the end.

failures=0
pid=""
own_prefix=""
work=""
pass() { echo "PASS $1"; }
fail() { echo "FAIL $1: $2"; failures=$((failures + 1)); }

e2e_use_wine() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -z "${WINEPREFIX:-}" ]; then
    own_prefix=$(mktemp -d /tmp/vantrel-wine.XXXXXX)
    export WINEPREFIX=$own_prefix
  fi
  [ -f "$WINEPREFIX/system.reg" ] || wineboot -i </dev/null >/dev/null 2>&1
}

e2e_cleanup() {
  # What the programs said, for a failure to be understood from the test's output alone.
  if [ "$failures" -gt 0 ] && [ -n "$work" ]; then
    for f in "$work"/*.txt "$work"/*.err; do
      [ -s "$f" ] && { echo "---- ${f##*/} (last lines)"; tail -n 15 "$f"; }
    done
  fi
  [ -n "$pid" ] && { kill "$pid"; kill -CONT "$pid"; } 2>/dev/null # a stopped one ends too
  [ -n "$own_prefix" ] && { wineserver -k 2>/dev/null; rm -rf "$own_prefix"; }
  [ -n "$work" ] && rm -rf "$work"
}

# A fresh work folder named after NAME, removed with everything else on exit.
e2e_start() {
  work=$(mktemp -d "/tmp/vantrel-$1.XXXXXX")
  trap e2e_cleanup EXIT
}

# Runs COMMAND... every 0.1 s until it succeeds or SECONDS pass; its status is the last try's.
e2e_until() {
  local seconds=$1 i
  shift
  for i in $(seq $((seconds * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}

# X clients with a deadline: one that hangs fails its step, and says so, instead of running the
# whole test into ctest's limit. The scripts call xdotool and import through these.
e2e_bounded() {
  local seconds=$1 rc
  shift
  timeout "$seconds" "$@"
  rc=$?
  [ $rc -eq 124 ] && echo "  timed out after $seconds s: $*" >&2
  return $rc
}
xdotool() { e2e_bounded 20 xdotool "$@"; }
import() { e2e_bounded 30 import "$@"; }

# Types KEYS (xdotool's form, e.g. alt+F4) into window W, which the keys may close. When W has
# the focus xdotool types through XTEST, and a window gone between the press and the release
# would leave the press held on the server; releasing every key of KEYS afterwards cannot.
e2e_key() {
  xdotool key --window "$1" "$2" 2>/dev/null
  # shellcheck disable=SC2046 # one argument per key
  xdotool keyup $(tr '+' ' ' <<<"$2") 2>/dev/null
  return 0
}

# Fails the check named "nothing held" when a key or mouse button is left held on the display:
# the next test, or the program under test, would see it held. A small Xlib program made here
# asks the server (XQueryKeymap, XQueryPointer).
e2e_nothing_held() {
  local probe="$work/nothing_held"
  if [ ! -x "$probe" ]; then
    cc -x c -o "$probe" - -lX11 <<'C' || { fail "nothing held" "cannot build the probe"; return; }
#include <X11/Xlib.h>
#include <stdio.h>
int main(void) {
  Display *d = XOpenDisplay(0);
  if (!d) return 2;
  char keys[32];
  XQueryKeymap(d, keys);
  int held = 0;
  for (int i = 0; i < 256; i++)
    if (keys[i / 8] & (1 << (i % 8))) printf("key code %d is held\n", i), held = 1;
  Window r, c;
  int rx, ry, wx, wy;
  unsigned mask = 0;
  XQueryPointer(d, DefaultRootWindow(d), &r, &c, &rx, &ry, &wx, &wy, &mask);
  if (mask & (Button1Mask | Button2Mask | Button3Mask)) printf("a mouse button is held\n"), held = 1;
  return held;
}
C
  fi
  local out
  out=$("$probe") && pass "nothing left held" || fail "nothing held" "$out"
}
