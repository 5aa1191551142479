#!/usr/bin/env bash
# Installs what is missing, builds both builds and runs every test: the
# native suite, the same suite under the sanitizers, every fuzz harness
# for a short while, then the Windows suite (core and user interface) under
# Wine on a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/tools/setup.sh"
"$root/tools/build.sh" all
"$root/tools/wine-prefix.sh"

status=0
echo "== Native tests"
(cd "$root/build/native" && ctest --output-on-failure -j "$(nproc)") || status=1

echo "== Native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/tools/sanitize.sh" || status=1

echo "== Fuzz harnesses, ${FUZZ_SECONDS:=12} s each"
"$root/tools/fuzz.sh" "$FUZZ_SECONDS" || status=1

echo "== Windows tests under Wine"
(cd "$root/build/windows" &&
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure --timeout 600) || status=1

exit $status
