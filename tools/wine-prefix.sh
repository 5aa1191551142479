#!/usr/bin/env bash
# Creates the Wine prefix that Corvelle runs and is tested in, inside the
# build folder, with the Chinese fonts mapped to the installed CJK font.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${CORVELLE_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts

[ -f "$WINEPREFIX/.corvelle-ready" ] && exit 0
mkdir -p "$WINEPREFIX"
exec 9> "$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.corvelle-ready" ] && exit 0

echo "Creating the Wine prefix in $WINEPREFIX"
wineboot -i > /dev/null 2>&1
font="WenQuanYi Zen Hei"
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in "宋体" "SimSun" "新宋体" "NSimSun" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
  wine reg add "$key" /v "$face" /d "$font" /f > /dev/null 2>&1
done
wineserver -w
touch "$WINEPREFIX/.corvelle-ready"
