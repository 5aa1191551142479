#!/usr/bin/env bash
# Creates the Wine prefix that Corvelle runs and is tested in, inside the
# build folder, with the Chinese fonts mapped to the installed CJK font.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${CORVELLE_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts

ready() { [ -f "$WINEPREFIX/.corvelle-ready" ] && [ -f "$WINEPREFIX/.corvelle-ui-tests-unmanaged" ]; }
ready && exit 0
mkdir -p "$WINEPREFIX"
exec 9> "$WINEPREFIX.lock"
flock 9
ready && exit 0

if [ ! -f "$WINEPREFIX/.corvelle-ready" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX"
  wineboot -i > /dev/null 2>&1
  font="WenQuanYi Zen Hei"
  key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  for face in "宋体" "SimSun" "新宋体" "NSimSun" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
    wine reg add "$key" /v "$face" /d "$font" /f > /dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.corvelle-ready"
fi

# The UI tests open and close many windows on a display without a window
# manager, where Wine waits up to two seconds for a managed window to be
# withdrawn. Their windows are left unmanaged; Corvelle's own are not.
if [ ! -f "$WINEPREFIX/.corvelle-ui-tests-unmanaged" ]; then
  for exe in corvelle_ui_tests.exe refresh_list_timing.exe; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Managed /d N /f > /dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.corvelle-ui-tests-unmanaged"
fi
