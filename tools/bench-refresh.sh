#!/usr/bin/env bash
# Times one refresh of the contact list (512 contacts, all 17 columns) on
# the real window under Wine, and prints the figures.
# Usage: tools/bench-refresh.sh [REPEATS]   (after tools/build.sh windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe="$root/build/windows/bench/refresh_list_timing.exe"
[ -f "$exe" ] || { echo "no $exe: run tools/build.sh windows first" >&2; exit 1; }
"$root/tools/wine-prefix.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$root/tools/wine-run.sh" "$exe" "$@"
