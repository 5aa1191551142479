# Sourced by the scripts that run Wine: a quiet, private prefix inside the
# build folder, in Simplified Chinese.
#
# CORVELLE_DPI (96 unless set) is the display's DPI the prefix reports:
# 120 is Windows' 125%, 144 its 150%. A prefix of another DPI than 96 is a
# prefix of its own, build/wineprefix-NNNdpi, so that the usual one keeps
# its 96. CORVELLE_WINEPREFIX names a prefix folder outright.
wine_env_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export CORVELLE_DPI=${CORVELLE_DPI:-96}
case "$CORVELLE_DPI" in
  '' | *[!0-9]*) echo "CORVELLE_DPI must be a number of dots per inch, such as 144" >&2; exit 2 ;;
esac
if [ "$CORVELLE_DPI" = 96 ]; then
  export WINEPREFIX=${CORVELLE_WINEPREFIX:-$wine_env_root/build/wineprefix}
else
  export WINEPREFIX=${CORVELLE_WINEPREFIX:-$wine_env_root/build/wineprefix-${CORVELLE_DPI}dpi}
fi
export WINEDEBUG=${CORVELLE_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts
if locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
fi
