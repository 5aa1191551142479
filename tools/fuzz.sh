#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang (build/fuzz) and runs
# each one in turn for SECONDS, starting from its committed seeds and the
# inputs of past findings. Prints the executions of each harness; a finding
# stops with status 1 and leaves its input in build/fuzz/findings/NAME/.
# "seeds" writes the seed corpora fuzz/corpus/ anew with the program's own
# writers.
# Usage: tools/fuzz.sh [SECONDS [HARNESS...]] | tools/fuzz.sh seeds
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
seconds=${1:-60}
shift || true
only=" $* "

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVELLE_SANITIZE=ON -DCORVELLE_FUZZ=ON -DBUILD_TESTING=OFF > /dev/null

if [ "$seconds" == seeds ]; then
  cmake --build "$build" -j "$(nproc)" --target corvelle_seed_writer
  exec "$build/fuzz/corvelle_seed_writer" "$root/fuzz/corpus"
fi
case "$seconds" in ''|*[!0-9]*) echo "usage: tools/fuzz.sh [SECONDS] | tools/fuzz.sh seeds" >&2; exit 2 ;; esac
cmake --build "$build" -j "$(nproc)" --target corvelle_fuzzers

export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Harnesses that go through files run several times faster in memory.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
status=0
while read -r name; do
  [ -n "$name" ] || continue
  [ "$only" == "  " ] || [[ "$only" == *" $name "* ]] || continue
  work=$build/corpus/$name
  findings=$build/findings/$name
  log=$build/logs/$name.log
  mkdir -p "$work" "$findings" "$build/logs"
  sources=()
  for dir in "$root/fuzz/corpus/$name" "$root/fuzz/regressions/$name"; do
    [ -d "$dir" ] && sources+=("$dir")
  done
  # New inputs go to the build folder; the committed seeds stay as they are.
  if "$build/fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$findings/" "$work" "${sources[@]}" > "$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$name: ${runs:-?} executions in $seconds s, no finding"
  else
    status=1
    echo "$name: FINDING (log $log, inputs in $findings/)"
    grep -E -A 12 'ERROR|broken:|runtime error|deadly signal|timeout' "$log" | head -40 || tail -40 "$log"
  fi
done < "$build/fuzz/fuzzers.txt"
exit $status
