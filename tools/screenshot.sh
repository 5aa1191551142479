#!/usr/bin/env bash
# Starts Corvelle under Wine on a virtual display, in FOLDER (its current
# directory, where it finds txl.dat and the default book), and saves a
# screenshot of the whole display as a PNG.
#
# Usage: tools/screenshot.sh FOLDER OUT.png [COMMAND...]
#
# A COMMAND, when given, runs once the window is up and before the
# screenshot, with DISPLAY set: for example
#   tools/screenshot.sh demo shot.png xdotool mousemove 240 300 click 1
# CORVELLE_DPI=144 (or 120, ...) shows it on a display of that DPI.
# Builds nothing: run tools/build.sh windows first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe="$root/build/windows/app/Corvelle.exe"
# The window's title starts with "Corvelle v" and the version the build generated.
version=$(sed -n 's/^#define CORVELLE_VERSION_TEXT "\(.*\)"$/\1/p' "$root/build/windows/generated/corvelle_version.h" 2> /dev/null || true)
title="^Corvelle v${version//./\\.}"

# On the virtual display: start, wait for the window, act, shoot, stop.
if [ "${1:-}" = "--on-display" ]; then
  folder=$2
  out=$3
  shift 3
  cd "$folder"
  "$root/tools/wine-run.sh" "$exe" &
  program=$!
  waited=0
  until xdotool search --name "$title" > /dev/null 2>&1; do
    sleep 0.5
    waited=$((waited + 1))
    if [ $waited -ge 60 ]; then
      echo "Corvelle did not open a window" >&2
      kill "$program" 2> /dev/null || true
      exit 1
    fi
  done
  sleep 1  # let it paint
  if [ $# -gt 0 ]; then
    "$@"
    sleep 1
  fi
  /usr/bin/import -window root "$out"
  # Without a window manager the display shows no title bars: say the title.
  echo "Title: $(xdotool search --name "$title" getwindowname %@ 2> /dev/null | head -n 1)"
  kill "$program" 2> /dev/null || true
  wait "$program" 2> /dev/null || true
  exit 0
fi

if [ $# -lt 2 ]; then
  echo "usage: tools/screenshot.sh FOLDER OUT.png [COMMAND...]" >&2
  exit 2
fi
folder=$(cd "$1" && pwd)
out=$(realpath -m "$2")
shift 2
[ -f "$exe" ] || { echo "no $exe: run tools/build.sh windows first" >&2; exit 1; }
"$root/tools/wine-prefix.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --on-display "$folder" "$out" "$@"
echo "Saved $out"
