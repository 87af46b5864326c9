#!/usr/bin/env bash
# Runs every scenario of probe_table.txt with the input probe in table mode and compares the
# whole log (message, wParam, lParam, in order) of the x11 build with the Windows build's under
# Wine, less the differences listed in probe_differences.txt. Without a Windows build it runs
# the x11 side alone: every scenario must reach its end.
#   usage: tests/e2e/probe_table_test.sh X11_PROBE [WIN32_PROBE.exe] [NAME_PATTERN]
set -uo pipefail

x11_probe=${1:?the x11 build of input_probe}
win32_probe=${2:-}
only=${3:-}
here=$(dirname "$0")
[ -n "${DISPLAY:-}" ] || { echo "probe table: no DISPLAY: skipped" >&2; exit 77; }
for tool in xdotool xdpyinfo ${win32_probe:+wine}; do
  command -v "$tool" >/dev/null || { echo "probe table: $tool is not installed" >&2; exit 2; }
done
xdpyinfo >/dev/null 2>&1 || { echo "probe table: no X display" >&2; exit 2; }
source "$here/e2e_common.sh"
[ -n "$win32_probe" ] && e2e_use_wine
e2e_start probe-table

trim() { local s=${1#"${1%%[![:space:]]*}"}; echo "${s%"${s##*[![:space:]]}"}"; }
# wait_for LOG PATTERN: until a line of LOG matches (a guard of 60 s against a hang).
has_line() { tr -d '\r' <"$1" | grep -qE -- "$2"; }
wait_for() { e2e_until 60 has_line "$@"; }
gone() { ! kill -0 "$pid" 2>/dev/null; }
# stop NAME SIDE WHY: fails the scenario and ends its probe, which would take the next one's input.
stop() {
  fail "$1 ($2)" "$3"
  xdotool mouseup 1 mouseup 2 mouseup 3 # nothing left held for the next scenario
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
  [ -n "${relayout:-}" ] && setxkbmap -option '' -layout us # play's layouts, if it set any
  return 1
}

# play NAME SIDE OPTIONS ACTIONS STEPS COMMAND...: one scenario on one side; leaves NAME.SIDE.
play() {
  local name=$1 side=$2 options=$3 actions=$4 steps=$5 log="$work/$1.$2" marks=1 step relayout=""
  shift 5
  xdotool mousemove 1270 1010 # away from where the window will be
  # shellcheck disable=SC2086 # one argument per action
  "$@" table "$options" $actions >"$log" 2>"$work/$name.$side.err" &
  pid=$!
  if ! e2e_until 90 has_line "$log" '^(ready|created 0)'; then
    stop "$name" "$side" "the probe did not start"
    return
  fi
  if has_line "$log" '^created 0'; then
    e2e_until 60 gone || { stop "$name" "$side" "the probe did not end without its window"; return; }
    pid=""
    return 0
  fi
  # Input reaches the window once a move into it is logged (Wine gives no window the X focus
  # without a window manager; keys then go to the window under the pointer).
  xdotool mousemove 200 200
  wait_for "$log" '^p 200 ' || { stop "$name" "$side" "no move reached the window"; return; }
  xdotool key F9
  wait_for "$log" '^mark 1$' || { stop "$name" "$side" "the first mark did not come back"; return; }
  IFS=';' read -ra parts <<<"$steps"
  for step in "${parts[@]}"; do
    step=$(trim "$step")
    [ -z "$step" ] && continue
    if [[ "$step" == layout\ * ]]; then
      # The keyboard layouts of the X server's groups, changed while the probe runs.
      setxkbmap -option '' -layout "${step#layout }" || fail "$name ($side)" "setxkbmap failed"
      relayout=1
    elif [[ "$step" == wait\ * ]]; then
      # A line of the log, such as a menu's WM_INITMENUPOPUP: the keys that follow are for it.
      wait_for "$log" "${step#wait }" || { stop "$name" "$side" "no line ${step#wait }"; return; }
    elif [ "$step" = mark ]; then
      marks=$((marks + 1))
      xdotool key F9
      wait_for "$log" "^mark $marks\$" || { stop "$name" "$side" "mark $marks did not come back"; return; }
    else
      # shellcheck disable=SC2086 # xdotool's arguments
      xdotool $step
    fi
  done
  xdotool key F8
  e2e_until 60 gone || { stop "$name" "$side" "the probe did not end after F8"; return; }
  [ -n "$relayout" ] && setxkbmap -option '' -layout us
  pid=""
  has_line "$log" '^end' || fail "$name ($side)" "the probe's loop did not end"
}

# The log of NAME.SIDE with the listed differences of NAME left out: every line of a message
# listed by number, or the one line listed as MESSAGE:WPARAM:LPARAM.
normalised() {
  tr -d '\r' <"$work/$1.$2" | awk -v n="$1" '
    FNR == NR {
      if (!/^#/ && NF >= 2 && ($1 == n || $1 == "*" ||
          ($1 ~ /\*$/ && index(n, substr($1, 1, length($1) - 1)) == 1))) drop[$2] = 1
      next
    }
    ($1 == "p" || $1 == "c") && (($2 in drop) || (($2 ":" $3 ":" $4) in drop)) { next }
    { print }' "$here/probe_differences.txt" -
}

# The key and character messages (0x100 .. 0x107) of NAME.SIDE, one line.
keys_of() {
  tr -d '\r' <"$work/$1.$2" |
    awk '$1 == "p" && $2 ~ /^10[0-7]$/ { printf "%s%s %s %s", n++ ? ", " : "", $2, $3, $4 } END { print "" }'
}

matched=0 total=0
while IFS='|' read -r name options actions steps expect; do
  name=$(trim "$name")
  [[ -z "$name" || "$name" == \#* ]] && continue
  [ -n "$only" ] && [[ ! "$name" =~ $only ]] && continue
  options=$(trim "$options") actions=$(trim "$actions")
  total=$((total + 1))
  play "$name" x11 "$options" "$actions" "$steps" "$x11_probe" || continue
  expect=$(trim "${expect:-}")
  if [ -n "$expect" ] && [ "$(keys_of "$name" x11)" != "$expect" ]; then
    fail "$name (x11)" "keys $(keys_of "$name" x11), not Windows' $expect"
    continue
  fi
  [ -z "$win32_probe" ] && { pass "$name (x11)"; continue; }
  play "$name" wine "$options" "$actions" "$steps" wine "$win32_probe" || continue
  if diff <(normalised "$name" wine) <(normalised "$name" x11) >"$work/$name.diff"; then
    matched=$((matched + 1))
    pass "$name: the same $(normalised "$name" x11 | wc -l) lines as Wine"
  else
    fail "$name" "differs from Wine (< Wine, > x11):"
    head -n 40 "$work/$name.diff"
  fi
done <"$here/probe_table.txt"
[ -n "$win32_probe" ] && echo "$matched of $total scenarios match Wine"
# PROBE_TABLE_KEEP=FOLDER keeps every log there, to write a scenario's expectations from.
[ -n "${PROBE_TABLE_KEEP:-}" ] && mkdir -p "$PROBE_TABLE_KEEP" && cp "$work"/*.x11 "$work"/*.wine "$PROBE_TABLE_KEEP" 2>/dev/null
e2e_nothing_held
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
