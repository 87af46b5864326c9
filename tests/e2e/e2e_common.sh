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
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$own_prefix" ] && { wineserver -k 2>/dev/null; rm -rf "$own_prefix"; }
  [ -n "$work" ] && rm -rf "$work"
}

# A fresh work folder named after NAME, removed with everything else on exit.
e2e_start() {
  work=$(mktemp -d "/tmp/vantrel-$1.XXXXXX")
  trap e2e_cleanup EXIT
}
