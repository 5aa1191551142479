#!/usr/bin/env bash
# The layer check fails on a core file that includes the resource ids, and
# passes on the tree as it is: both seen on a scratch copy of the sources.
# Usage: check_layers_test.sh SOURCE_ROOT
set -euo pipefail
root=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
git -C "$root" ls-files -z '*.cpp' '*.h' | (cd "$root" && xargs -0 cp --parents -t "$scratch")
cp "$root/layers.txt" "$scratch/"
check="$root/tools/check-layers.sh"

if ! "$check" "$scratch" > /dev/null 2>&1; then
  echo "FAIL: the untouched copy of the tree does not pass" >&2
  exit 1
fi

sed -i '0,/^#include/s||#include "resources/resource.h"\n#include|' "$scratch/store/contact_record.cpp"
if output=$("$check" "$scratch" 2>&1); then
  echo "FAIL: a core file that includes resources/resource.h passes" >&2
  exit 1
fi
if [[ $output != *'store/contact_record.cpp:'*'includes resources/resource.h (layer 1) from layer 0'* ]]; then
  echo "FAIL: the check did not name the include:" >&2
  echo "$output" >&2
  exit 1
fi
echo "A core file that includes the resource ids fails the layer check."
