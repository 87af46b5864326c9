#!/usr/bin/env bash
# Drives the input probe (tests/e2e/input_probe.cpp) with one xdotool script and summarises what
# its window procedure received: a fast drag of 200 motions, a click, a key held for 2 s,
# Escape. With a second, Windows build of the probe it runs that under Wine too and compares:
# Wine implements Windows' queue, so its log is the reference.
#   usage: tests/e2e/input_probe_test.sh X11_PROBE [WIN32_PROBE.exe]
set -uo pipefail

x11_probe=${1:?the x11 build of input_probe}
win32_probe=${2:-}
[ -n "${DISPLAY:-}" ] || { echo "input probe: no DISPLAY: skipped" >&2; exit 77; }
for tool in xdotool xdpyinfo ${win32_probe:+wine}; do
  command -v "$tool" >/dev/null || { echo "input probe: $tool is not installed" >&2; exit 2; }
done
xdpyinfo >/dev/null 2>&1 || { echo "input probe: no X display" >&2; exit 2; }
source "$(dirname "$0")/e2e_common.sh"
[ -n "$win32_probe" ] && e2e_use_wine
e2e_start input-probe

now_ms() { date +%s%3N; }
# Lines of the log with message number $1 (the probe prints lines ending CR LF under Wine).
log_of() { tr -d '\r' <"$work/$1.log" | awk -v m="$2" '$2 == m'; }

# drive NAME COMMAND...: runs the probe, plays the script, leaves NAME.log and NAME.times.
drive() {
  local name=$1 log="$work/$1.log"
  shift
  "$@" >"$log" 2>"$work/$name.err" &
  pid=$!
  local i window args
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Vantrel input probe$' |
    head -n 1)
  [ -n "$window" ] || { fail "$name" "the probe's window did not appear"; return 1; }
  # Input reaches the window once a move into it is logged (Wine gives no window the X focus
  # without a window manager; the keys then go to the window under the pointer).
  for i in $(seq 200); do
    xdotool mousemove 120 120
    log_of "$name" 512 | grep -q . && break
    sleep 0.05
  done
  args="mousemove 200 200 mousedown 1"
  for i in $(seq 200); do args+=" mousemove $((200 + i)) $((200 + i / 2))"; done
  local start
  start=$(now_ms)
  xdotool $args mouseup 1
  echo "drag_ms $(($(now_ms) - start))" >"$work/$name.times"
  xdotool mousemove 300 300 click 1
  xdotool keydown x
  sleep 2 # how long the key is held, not a wait for the program
  xdotool keyup x
  echo "escape $(now_ms)" >>"$work/$name.times"
  xdotool key Escape
  for i in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$name" "the probe did not end after Escape"
    return 1
  fi
  pid=""
}

# summary NAME: one line of KEY=VALUE facts of NAME.log.
summary() {
  local escape
  escape=$(awk '$1 == "escape" { print $2 }' "$work/$1.times")
  tr -d '\r' <"$work/$1.log" | awk -v escape="$escape" '
    # Fields: time, message, wParam, lParam low word, high word, cursor x, y, lParam in hex.
    function kind(m, w, hi) {
      if (m == 513) return "LDOWN"; if (m == 514) return "LUP"
      if (m == 256 && int(hi / 16384) % 2 == 0) return "KEYDOWN" w
      if (m == 257) return "KEYUP" w
      if (m == 2) return "DESTROY"
      return ""
    }
    NF >= 8 {
      k = kind($2, $3, $5)
      if (k != "") order = order (order == "" ? "" : ",") k
      if ($2 == 513) downs++
      if ($2 == 514) ups++
      if ($2 == 512) { moves++; if (downs == 1 && ups == 0) { drag++; last = $6 "," $7 } }
      if ($2 == 256 && $3 == 88) { keydowns++; repeats += $4 }
      if ($2 == 258 && $3 == 120) chars++
      if ($2 == 256 && $3 == 27) lag = $1 - escape
    }
    END {
      printf "order=%s moves=%d drag_moves=%d drag_end=%s x_keydowns=%d x_presses=%d x_chars=%d escape_lag_ms=%d\n",
        order, moves, drag, last, keydowns, repeats, chars, lag
    }'
}
# The value of KEY in a summary line; 0 for numbers it lacks.
# At most one move per frame (30 ms) while the drag lasted, and one more: the drag's motions
# never queue up behind each other, however slowly a loaded machine sends them.
drag_bound() { echo $(($(awk '$1 == "drag_ms" { print $2 }' "$work/$1.times") / 30 + 2)); }
field() {
  local v
  v=$(tr ' ' '\n' <<<"$1" | awk -F= -v k="$2" '$1 == k { print $2 }')
  echo "${v:-${3:-}}"
}
num() { field "$1" "$2" 0; }

drive x11 "$x11_probe" || exit 1
x11=$(summary x11)
echo "x11:  $x11"
# Escape sends WM_DESTROY, and destroying the window at the end sends it again.
want="LDOWN,LUP,LDOWN,LUP,KEYDOWN88,KEYUP88,KEYDOWN27,DESTROY,DESTROY"
[ "$(field "$x11" order)" = "$want" ] && pass "x11 kinds in order" ||
  fail "x11 kinds in order" "$(field "$x11" order), not $want"
bound=$(drag_bound x11)
[ "$(field "$x11" drag_end)" = "400,300" ] && [ "$(num "$x11" drag_moves)" -le "$bound" ] &&
  pass "x11 drag: $(num "$x11" drag_moves) moves (at most $bound), ending where the pointer ended" ||
  fail "x11 drag" "$(num "$x11" drag_moves) moves ending at $(field "$x11" drag_end)"
# Held for 2 s at the server's 25 repeats a second after 660 ms: some 35 presses in all.
presses=$(num "$x11" x_presses)
[ "$presses" -ge 20 ] && [ "$presses" -le 60 ] &&
  [ "$(field "$x11" x_chars)" = "$(field "$x11" x_keydowns)" ] &&
  pass "x11 held key: $presses presses in $(field "$x11" x_keydowns) key-downs, a character each" ||
  fail "x11 held key" "$presses presses, $(field "$x11" x_keydowns) key-downs, $(field "$x11" x_chars) characters"
# No backlog: Escape is the last input, so the probe ending (waited for above) shows that every
# message before it was handled; how long that took is reported, not limited.
echo "x11: Escape handled $(num "$x11" escape_lag_ms) ms after it was typed"

if [ -n "$win32_probe" ]; then
  drive wine wine "$win32_probe" || exit 1
  wine=$(summary wine)
  echo "wine: $wine"
  [ "$(field "$wine" order)" = "$(field "$x11" order)" ] && pass "same kinds in the same order as Wine" ||
    fail "order against Wine" "Wine $(field "$wine" order)"
  [ "$(field "$wine" drag_end)" != "" ] && [ "$(num "$wine" drag_moves)" -le "$(drag_bound wine)" ] &&
    pass "Wine merges the drag's moves as x11 does ($(num "$wine" drag_moves) moves)" ||
    fail "drag against Wine" "Wine: $(num "$wine" drag_moves) moves ending at $(field "$wine" drag_end)"
  # The same key presses reach both, however they are folded into messages.
  wp=$(num "$wine" x_presses)
  [ $((presses * 4)) -ge $((wp * 3)) ] && [ $((wp * 4)) -ge $((presses * 3)) ] &&
    pass "held key: $presses presses on x11, $wp under Wine" ||
    fail "held key against Wine" "$presses presses on x11, $wp under Wine"
  echo "Escape lag: x11 $(num "$x11" escape_lag_ms) ms, Wine $(num "$wine" escape_lag_ms) ms"
fi
e2e_nothing_held
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
