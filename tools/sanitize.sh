#!/usr/bin/env bash
# Builds the native test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer (build/sanitize) and runs it: a read or write
# out of bounds, a use after free, a leak or undefined behaviour fails the
# test that caused it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/tools/build.sh" sanitize
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$root/build/sanitize"
ctest --output-on-failure -j "$(nproc)"
