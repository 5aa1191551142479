#!/usr/bin/env bash
# Checks that every #include of the program points down the layers that
# layers.txt names, never up: a file may include its own layer and the
# layers below. The Windows UI headers count as the layer "ui". fuzz/ and
# txltool build on the core alone and are checked as core; tests and
# timing programs stand above all and are not checked. Prints each include
# that points up, and each source of the program in no layer, and fails if
# there is one.
# Usage: tools/check-layers.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# Each listed folder's layer, by the order of the layers in layers.txt.
declare -A folder_layer
layer_number=0
declare -A layer_named
while read -r name folders; do
  [[ -z $name || $name == \#* ]] && continue
  layer_named[$name]=$layer_number
  for folder in $folders; do folder_layer[$folder]=$layer_number; done
  layer_number=$((layer_number + 1))
done < layers.txt

# The layer of a project file, or nothing for one that is not checked.
layer_of() {
  local folder
  folder=$(dirname "$1")
  if [[ -n ${folder_layer[$folder]:-} ]]; then
    echo "${folder_layer[$folder]}"
  else
    case "$1" in
      fuzz/* | tools/txltool/*) echo "${layer_named[core]}" ;;
    esac
  fi
}

# The layer of an included header: a project path, or a system header.
layer_of_header() {
  case "${1,,}" in
    windows.h | windowsx.h | commctrl.h | commdlg.h | shellapi.h | shlobj.h | objbase.h) echo "${layer_named[ui]}" ;;
    *) layer_of "$1" ;;
  esac
}

# The core files that speak to Windows itself: files and code pages, and
# HTTP through WinHTTP.
allowed() {
  [[ ($1 == platform/platform_windows.cpp || $1 == platform/http_winhttp.cpp) && $2 == windows.h ]]
}

# The sources: those git tracks, or every one outside build/ in a tree
# that is no checkout.
sources() {
  if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    git ls-files '*.cpp' '*.h'
  else
    find . \( -name build -prune \) -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||'
  fi
}

status=0
while IFS= read -r file; do
  own=$(layer_of "$file")
  if [[ -z $own ]]; then
    case "$file" in
      tests/* | bench/* | fuzz/* | tools/*) ;;
      *) echo "$file: lies in no folder of layers.txt" >&2; status=1 ;;
    esac
    continue
  fi
  while IFS=: read -r line header; do
    theirs=$(layer_of_header "$header")
    [[ -n $theirs ]] || continue
    if ((theirs > own)) && ! allowed "$file" "$header"; then
      echo "$file:$line: includes $header (layer $theirs) from layer $own" >&2
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" |
           sed -n 's/^\([0-9]*\):[^<"]*[<"]\([^>"]*\)[>"].*/\1:\2/p')
done < <(sources)

if ((status == 0)); then echo "Every include points down the layers."; fi
exit $status
