#!/usr/bin/env bash
# Runs a Windows program under Wine in Corvelle's own prefix, in Simplified
# Chinese. Used by CTest as the emulator of the Windows build.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${CORVELLE_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
fi
"$here/wine-prefix.sh"
exec wine "$@"
