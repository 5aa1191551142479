#!/usr/bin/env bash
# Installs what is missing, builds Corvelle.exe and starts it under Wine.
# Corvelle keeps its files in its current directory: the folder given, or
# the one you are in.
# Usage: tools/run.sh [FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(cd "${1:-.}" && pwd)

"$root/tools/setup.sh"
"$root/tools/build.sh" windows
"$root/tools/wine-prefix.sh"

cd "$folder"
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/tools/wine-run.sh" "$root/build/windows/app/Corvelle.exe"
else
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$root/tools/wine-run.sh" "$root/build/windows/app/Corvelle.exe"
fi
