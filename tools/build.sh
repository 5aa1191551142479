#!/usr/bin/env bash
# Builds Corvelle natively (core, txltool, tests) and for Windows
# (Corvelle.exe, txltool.exe, tests) into build/native and build/windows;
# "sanitize" builds the native suite with AddressSanitizer and
# UndefinedBehaviorSanitizer into build/sanitize.
# Usage: tools/build.sh [native|windows|all|sanitize] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
shift || true
jobs=$(nproc)

build() {  # build NAME [cmake arguments...]
  local dir=$root/build/$1
  shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "$@" > /dev/null
  cmake --build "$dir" -j "$jobs"
}

case "$which" in
  native) build native "$@" ;;
  sanitize) build sanitize -DCORVELLE_SANITIZE=ON "$@" ;;
  windows) build windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" "$@" ;;
  all)
    build native "$@"
    build windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" "$@"
    ;;
  *) echo "usage: tools/build.sh [native|windows|all|sanitize]" >&2; exit 2 ;;
esac
