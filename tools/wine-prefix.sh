#!/usr/bin/env bash
# Creates the Wine prefix that Corvelle runs and is tested in, inside the
# build folder, with the Chinese fonts mapped to the installed CJK font;
# an existing prefix gets whatever it lacks, and the font when it changed.
#
# Usage: tools/wine-prefix.sh [--dpi N]
#
# --dpi N (or CORVELLE_DPI=N) makes the prefix of a display of N DPI,
# build/wineprefix-NNNdpi: 120 for Windows' 125%, 144 for its 150%.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" = "--dpi" ]; then
  [ $# -ge 2 ] || { echo "usage: tools/wine-prefix.sh [--dpi N]" >&2; exit 2; }
  export CORVELLE_DPI=$2
fi
# The same prefix and locale as wine-run.sh, so that Wine settles its
# locale's defaults here, before the fonts below are mapped, and never again.
. "$here/wine-env.sh"

# The font that stands in for "宋体", SimSun and the dialog fonts. WenQuanYi
# Zen Hei, at the 12 pixels of the list and the menus, draws no hyphen in
# "010-6088505" and the tops of many characters too faint to read; Micro
# Hei draws them whole.
# CORVELLE_UI_FONT names another installed font, to compare.
font=${CORVELLE_UI_FONT:-WenQuanYi Micro Hei}
font_mark="$WINEPREFIX/.corvelle-font"

# Each step leaves a mark, so that an older prefix gets the later steps;
# the font's mark holds its name, so that a changed choice is applied again.
dpi_mark="$WINEPREFIX/.corvelle-dpi"
link_mark="$WINEPREFIX/.corvelle-font-link-symbols"
fallback_mark="$WINEPREFIX/.corvelle-uniscribe-fallback"
unsubstituted_mark="$WINEPREFIX/.corvelle-simsun-unsubstituted"
ready() {
  [ -f "$WINEPREFIX/.corvelle-ready" ] && [ "$(cat "$font_mark" 2> /dev/null)" = "$font" ] && [ -f "$link_mark" ] &&
    [ -f "$unsubstituted_mark" ] && [ -f "$fallback_mark" ] &&
    [ -f "$WINEPREFIX/.corvelle-ui-tests-unmanaged" ] && [ "$(cat "$dpi_mark" 2> /dev/null)" = "$CORVELLE_DPI" ]
}
ready && exit 0
mkdir -p "$WINEPREFIX"
exec 9> "$WINEPREFIX.lock"
flock 9
ready && exit 0

if [ ! -f "$WINEPREFIX/.corvelle-ready" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX"
  wineboot -i > /dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.corvelle-ready"
fi

# Wine maps "MS Shell Dlg" (the menus, the list, the dialogs) to SimSun in
# a Chinese locale; SimSun itself must then be a real font, which only a
# replacement, not a substitute, gives it. "宋体" and the other SimSun names
# are replaced only, never substituted: Wine looks a font's links up under
# the name the program asked for, and drops the SystemLink of a name that
# has a substitute, so the list's "宋体" would find no HanaMin behind it.
substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
simsun_names=("宋体" "SimSun" "新宋体" "NSimSun")
if [ "$(cat "$font_mark" 2> /dev/null)" != "$font" ]; then
  fc-list -q "$font" || echo "warning: the font \"$font\" is not installed (tools/setup.sh installs it)" >&2
  for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
    wine reg add "$substitutes" /v "$face" /d "$font" /f > /dev/null 2>&1
  done
  for face in "${simsun_names[@]}"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$font" /f > /dev/null 2>&1
  done
  wineserver -w
  echo "$font" > "$font_mark"
fi
# A prefix made when the SimSun names were substituted too loses those substitutes.
if [ ! -f "$unsubstituted_mark" ]; then
  for face in "${simsun_names[@]}"; do
    wine reg delete "$substitutes" /v "$face" /f > /dev/null 2>&1 || true
  done
  wineserver -w
  touch "$unsubstituted_mark"
fi

# Characters beyond the basic plane (CJK Extension B and later: 𬎆, 𬀩)
# are drawn from HanaMin B, linked behind the list's font as Windows links
# SimSun-ExtB behind SimSun; HanaMin A fills in Extension A (䶮).
# Wine looks the links up under the family name of the face it chose, which
# for the WenQuanYi fonts in a Chinese locale is their Chinese name
# (文泉驿微米黑); it drops a link under a name that is a substitute, as the
# English name is. So the links go under every name fontconfig gives the font.
# Symbola comes first, for the symbols people put in names (妈妈❤️): it
# holds no Han, and it draws the variation selector after ❤ as nothing,
# where HanaMin draws a box.
if [ ! -f "$link_mark" ]; then
  fc-list -q HanaMinB || echo "warning: fonts-hanazono is not installed (tools/setup.sh installs it)" >&2
  fc-list -q Symbola || echo "warning: fonts-symbola is not installed (tools/setup.sh installs it)" >&2
  links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  # Wine finds a linked face by its file; Debian's fonts-japanese-mincho.ttf,
  # when it points to HanaMin A, is the file Wine loads it from.
  linked='Symbola_hint.ttf,Symbola\0HanaMinB.ttf,HanaMinB\0HanaMinA.ttf,HanaMinA\0fonts-japanese-mincho.ttf,HanaMinA'
  font_names=()
  IFS=, read -r -a font_names <<< "$(fc-list "$font" family | head -n 1)"
  for face in "$font" "${font_names[@]}" "宋体" "SimSun" "新宋体" "NSimSun" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
    wine reg add "$links" /v "$face" /t REG_MULTI_SZ /d "$linked" /f > /dev/null 2>&1
  done
  wineserver -w
  touch "$link_mark"
fi

# Text that Wine shapes with Uniscribe (edit boxes, and the list's cells
# that hold a character beyond the basic plane) never reaches the links
# above: Uniscribe falls back by script, to the face named here under the
# script's OpenType tag in hex. 0 is the tag of the surrogate pairs
# (𬎆, 𠀀), 696e6168 of Han ('hani'), whose run takes HanaMin A only
# when the font lacks one of its characters (䶮).
if [ ! -f "$fallback_mark" ]; then
  fallback='HKCU\Software\Wine\Uniscribe\Fallback'
  wine reg add "$fallback" /v 0 /d HanaMinB /f > /dev/null 2>&1
  wine reg add "$fallback" /v 696e6168 /d HanaMinA /f > /dev/null 2>&1
  wineserver -w
  touch "$fallback_mark"
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

# The display's DPI. Wine 8 takes the user's desktop setting and ignores
# the hardware profile's value when that one is set; both are written so
# that they agree.
if [ "$(cat "$dpi_mark" 2> /dev/null)" != "$CORVELLE_DPI" ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$CORVELLE_DPI" /f > /dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$CORVELLE_DPI" /f > /dev/null 2>&1
  wineserver -w
  echo "$CORVELLE_DPI" > "$dpi_mark"
fi
