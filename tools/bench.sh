#!/usr/bin/env bash
# Builds Corvelle in release mode and times it: the portable core natively
# with Google Benchmark (and the book's commands at 512, 10,000 and 100,000
# contacts, with how each grows), Python's vobject and `wc -l` on the same vCard
# file, and under Wine the refresh of the contact list, the start-up to the
# first painted list, the book's commands at 10,000 and 100,000 contacts,
# the size of Corvelle.exe, and the peak memory of an open book of 100,000
# contacts natively and under Wine. Prints one table, with
# the machine it ran on, and leaves it in build/bench-results/results.md.
# Usage: tools/bench.sh [REPETITIONS]   (default 9; medians are reported)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
repetitions=${1:-9}
results=$root/build/bench-results
native=$root/build/bench-native
windows=$root/build/bench-windows
jobs=$(nproc)

"$root/tools/setup.sh"
mkdir -p "$results"

echo "== Release builds" >&2
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$native" -j "$jobs" --target corvelle_benchmarks corvelle_large_book_benchmarks large_book_timing > /dev/null
cmake -S "$root" -B "$windows" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" > /dev/null
cmake --build "$windows" -j "$jobs" \
  --target Corvelle refresh_list_timing startup_timing empty_program window_program large_book_timing > /dev/null

echo "== The portable core ($repetitions repetitions each)" >&2
benchmarks=$native/bench/corvelle_benchmarks
cards=$results/cards.vcf
"$benchmarks" --write-vcard-file="$cards"
phone_cards=$results/phone.vcf
"$benchmarks" --write-phone-vcard-file="$phone_cards"
aggregate=(--benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true)
"$benchmarks" --folder="$results" "${aggregate[@]}" \
  --benchmark_out="$results/core.json" --benchmark_out_format=json >&2
# The files again on a RAM disk, where flushing them to the disk costs
# nothing: what the program itself spends on writing them.
ram=
if [ -d /dev/shm ]; then
  ram=/dev/shm
  "$benchmarks" --folder=/dev/shm "${aggregate[@]}" --benchmark_filter='Write|Export' \
    --benchmark_out="$results/core-ram.json" --benchmark_out_format=json >&2
else
  echo '{"benchmarks": []}' > "$results/core-ram.json"
fi

echo "== The book's commands at 512, 10,000 and 100,000 contacts" >&2
"$native/bench/corvelle_large_book_benchmarks" --folder="${ram:-$results}" "${aggregate[@]}" \
  --benchmark_out="$results/large.json" --benchmark_out_format=json >&2
/usr/bin/python3 "$root/bench/growth_report.py" "$results/large.json" | tee "$results/growth.md" >&2

echo "== The memory of an open book of 100,000 contacts" >&2
# Opened as the window opens it: read, then the pass that fills the list.
# Peak resident memory against the file's size (target: at most 3 times).
book=${ram:-$results}/large-book-100000.txl
"$native/bench/large_book_timing" --write-book "$book" 100000
"$native/bench/large_book_timing" --open-book "$book" | tee "$results/memory-native.txt" >&2

echo "== vobject and wc -l on the same files" >&2
/usr/bin/python3 "$root/bench/compare_vcard.py" "$cards" "$repetitions" "$phone_cards" | tee "$results/compare.txt" >&2

echo "== Under Wine" >&2
"$root/tools/wine-prefix.sh"
export WINEPREFIX=${CORVELLE_WINEPREFIX:-$root/build/wineprefix}
wine_run() { xvfb-run -a -s "-screen 0 1024x768x24" "$root/tools/wine-run.sh" "$@"; }
wine_run "$windows/bench/refresh_list_timing.exe" $((repetitions * 5)) | tr -d '\r' | tee "$results/refresh.txt" >&2
# The same window with a book of 100,000 contacts: the keystroke and the
# list's own commands (scrolling, selecting, ticking, the filter boxes).
wine_run "$windows/bench/refresh_list_timing.exe" "$repetitions" 100000 | tr -d '\r' |
  tee "$results/refresh-100000.txt" >&2
wine_run "$windows/bench/startup_timing.exe" "$repetitions" | tr -d '\r' | tee "$results/startup.txt" >&2
# Wine's own start from the shell: a program that does nothing, once with
# Wine already running (warm) and once after ending it (cold).
: > "$results/wine-start.txt"
"$root/tools/wine-run.sh" "$windows/bench/empty_program.exe" > /dev/null 2>&1
for state in warm cold; do
  for _ in $(seq "$repetitions"); do
    if [ "$state" = cold ]; then wineserver -k 2> /dev/null || true; wineserver -w 2> /dev/null || true; fi
    start=$(date +%s%N)
    "$root/tools/wine-run.sh" "$windows/bench/empty_program.exe" > /dev/null 2>&1
    echo "$state $(( ($(date +%s%N) - start) / 1000 ))" >> "$results/wine-start.txt"
  done
done
wineserver -k 2> /dev/null || true
# The same commands of a large book, and the memory of an open one, in the
# Windows build under Wine.
wine_run "$windows/bench/large_book_timing.exe" "--folder=$(winepath -w "${ram:-$results}" 2> /dev/null)" 3 10000 100000 |
  tr -d '\r' | tee "$results/large-wine.txt" >&2
# And a book of 100,000 contacts as a company's directory holds them.
CORVELLE_BENCH_BOOK=directory wine_run "$windows/bench/large_book_timing.exe" \
  "--folder=$(winepath -w "${ram:-$results}" 2> /dev/null)" 3 100000 | tr -d '\r' | tee "$results/large-wine-directory.txt" >&2
wine_run "$windows/bench/large_book_timing.exe" --open-book "$(winepath -w "$book" 2> /dev/null)" |
  tr -d '\r' | tee "$results/memory-wine.txt" >&2
stat -c '%s' "$windows/app/Corvelle.exe" > "$results/size.txt"

echo "== Synchronisation with Radicale, beside vdirsyncer" >&2
cmake --build "$native" -j "$jobs" --target txltool > /dev/null
"$root/bench/sync_timing.sh" "$native/tools/txltool/txltool" "$results/sync" 3 > "$results/sync.md"

{ /usr/bin/python3 "$root/bench/report.py" "$results"; echo; cat "$results/growth.md"; echo; cat "$results/sync.md"; } |
  tee "$results/results.md"
