#!/usr/bin/env bash
# Runs a Windows program under Wine in Corvelle's own prefix, in Simplified
# Chinese. Used by CTest as the emulator of the Windows build.
# CORVELLE_DPI=144 runs it on a display of 144 DPI (150%), in a prefix of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# The prefix, and its DPI from CORVELLE_DPI (96 unless set).
. "$here/wine-env.sh"
"$here/wine-prefix.sh"
exec wine "$@"
