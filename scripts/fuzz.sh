#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, ASan and UBSan) and runs every target of fuzz/ for
# SECONDS seconds each (default 60), one after the other, from its seeds in fuzz/corpus/NAME.
# What the fuzzer learns is kept in build/fuzz/corpus/NAME for the next run; an input that
# crashes, trips a sanitizer, takes over 10 s or gives a wrong result is left in
# build/fuzz/findings/ and fails the run. Extra arguments go to every target (-jobs=2, say).
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$(nproc)" || exit 1

mkdir -p build/fuzz/findings
failed=0
for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  mkdir -p "build/fuzz/corpus/$name"
  echo "==== $name, $seconds s"
  log="build/fuzz/$name.log"
  if "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="build/fuzz/findings/$name-" "$@" \
       "build/fuzz/corpus/$name" "fuzz/corpus/$name" >"$log" 2>&1; then
    # The last status line: executions, coverage (cov) and features (ft).
    grep -E '^#[0-9]+' "$log" | tail -n 1
    grep -E '^stat::number_of_executed_units' "$log"
  else
    echo "FAIL: $name found something; see $log and build/fuzz/findings/"
    tail -n 40 "$log"
    failed=1
  fi
done
exit "$failed"
